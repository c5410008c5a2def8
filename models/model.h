// The models zerb-shift fits to its common points, through the adjustment library (adjust/):
// three translations, or the seven Bursa-Wolf parameters; and the rotation sign convention the
// parameters are reported in.
//
// The library works in the position-vector convention, that of +towgs84 and WKT1 TOWGS84. The
// coordinate-frame convention, used by many published parameter sets and field controllers,
// describes the same transformation with the rotations' signs turned; a wrong sign moves points
// by about 30 m per arc-second, so every output names the convention it is written in.
#ifndef ZERB_MODELS_MODEL_H
#define ZERB_MODELS_MODEL_H

#include <string_view>

#include "adjust/adjust.h"
#include "points/point_set.h"
#include "text/text.h"

namespace zerb {

enum class Convention { kPositionVector, kCoordinateFrame };

// "position-vector" or "coordinate-frame".
Reason ParseConvention(std::string_view text, Convention* convention);
std::string_view ConventionName(Convention convention);
// PROJ's spelling for +convention=: position_vector or coordinate_frame.
std::string_view ProjConventionName(Convention convention);

// "3", "7", or "4" for the plane model (*plane set, *model left as it is).
Reason ParseModel(std::string_view text, adjust::Model* model, bool* plane);
// "H" or "H,V" in metres: the a-priori standard deviation of one coordinate.
Reason ParseSigma(std::string_view text, adjust::Settings* settings);

// The parameters as written in the convention: the position-vector ones, or their rotations
// with the signs turned.
adjust::BursaWolf InConvention(const adjust::BursaWolf& position_vector, Convention convention);

// The correlation matrix (in adjust::Parameter order) of the parameters as written in the
// convention: turning the rotations' signs turns the sign of each correlation between a rotation
// and a translation or the scale; those among the rotations, and among the others, stay.
adjust::Matrix7 CorrelationInConvention(const adjust::Matrix7& position_vector,
                                        Convention convention);

// Fits the model of settings to the points with data snooping: the fit as a value in *fit, or
// why there is none (too few points, bad settings). Every front end fits through here.
Reason FitPoints(PointSet& points, const adjust::Settings& settings, adjust::FitResult* fit);

// One line naming the model: "three-parameter translation" or "seven-parameter Bursa-Wolf", a
// message marked for translation (Tr it where a person reads it).
const char* ModelName(adjust::Model model);

}  // namespace zerb

#endif  // ZERB_MODELS_MODEL_H
