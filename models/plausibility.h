// Whether fitted parameters can be those of a transformation from a Krassovsky 1940 datum to
// WGS-84 at all. A fit that is not (rotations of degrees, a scale of parts per thousand, metres
// of sigma0) comes from input read wrongly, and its exports would move every point by
// kilometres; it must never be handed on as a result.
//
// The limits, with their reasons:
// - Shift at the points' centroid (the translation the fit applies where the points are), each
//   component within 1000 m: the published Beijing 1954 to WGS 84 translations are about 15, -150,
//   -80 m (EPSG:15921, 15918), and a point's two descriptions are already held within 300 m
//   horizontally and 200 m in height (same_place.h), which with the ellipsoids' difference keeps
//   every point's shift well inside 1000 m.
// - Rotations within 20 arc-seconds each and scale within 50 ppm: the published seven-parameter
//   sets have rotations below 1 arc-second and scales below 1 ppm (EPSG:15919, rz = 0.814", s =
//   -0.38 ppm); old networks add distortions of a few ppm and arc-seconds, and a grid height that
//   is a normal height adds its anomaly over the Earth's radius (100 m: 16 ppm).
// - sigma0 within 5 m for one coordinate (the a-posteriori sigma0 times the a-priori sigma with
//   --sigma): three translations over a whole province leave residuals of one or two metres.
// A parameter counts as beyond its limit only when it lies further beyond than three of its
// standard deviations: over a small area rotations and scale are poorly determined, and an
// estimate that merely scatters widely is no sign of a wrong input (the report warns of it).
#ifndef ZERB_MODELS_PLAUSIBILITY_H
#define ZERB_MODELS_PLAUSIBILITY_H

#include <string>
#include <vector>

#include "adjust/adjust.h"
#include "text/translate.h"

namespace zerb {

inline constexpr double kMaxCentroidShift = 1000;  // metres, each component
inline constexpr double kMaxRotation = 20;         // arc-seconds, each
inline constexpr double kMaxScale = 50;            // ppm
inline constexpr double kMaxSigma0 = 5;            // metres

// A fitted parameter beyond its limit.
struct Implausible {
  const char* name = "";  // "rz", or a message marked for translation ("scale")
  double value = 0;
  double standard_deviation = 0;  // 0 for a value without one (the shift at the centre, sigma0)
  double limit = 0;
  const char* unit = "";  // "m", "ppm", or a message marked for translation ("arc-seconds")
};

// The parameters of the solved fit beyond their limits; empty when the fit is plausible.
std::vector<Implausible> ImplausibleParameters(const adjust::FitResult& fit,
                                               const adjust::Settings& settings);

// One statement of it ("rz = 10795.3000 arc-seconds +- 0.0100 (limit 20 arc-seconds)"), and all
// of them with "; " between, worded through translate (text/translate.h).
std::string ImplausibleText(const Implausible& beyond, Translate translate);
std::string ImplausibleList(const std::vector<Implausible>& beyond, Translate translate);

}  // namespace zerb

#endif  // ZERB_MODELS_PLAUSIBILITY_H
