// The model surveyors fit over a site of a few kilometres to a few tens: a plane similarity (two
// shifts, a rotation, a scale) from the GNSS points, projected with the grid's transverse
// Mercator on the GNSS side's ellipsoid, onto the grid; and a height fit, a surface through
// H - h, the GNSS ellipsoidal height less the grid height (the height anomaly and the datum
// difference together).
//
// The similarity in the form controllers and PROJ's two-dimensional helmert step take, with x
// north and y east:
//   x = dx + k (x' cos a - y' sin a),  y = dy + k (x' sin a + y' cos a),
// a turning clockwise, from north toward east (PROJ's +theta). It is fitted linearly as
// x - x' = tx + p n - q e, y - y' = ty + p e + q n about a reference point (n, e the projected
// position less it), with 1 + p = k cos a and q = k sin a; with the scale held at 1 the rotation
// is fitted by Gauss-Newton from the free fit's.
//
// The height surfaces, in the grid position less their reference point (n, e in kilometres):
// constant a0; plane a0 + an n + ae e; quadric plus ann n^2 + ane n e + aee e^2.
#ifndef ZERB_MODELS_PLANE_MODEL_H
#define ZERB_MODELS_PLANE_MODEL_H

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "adjust/point_fit.h"
#include "crs/grid_system.h"
#include "crs/projection.h"
#include "points/point_set.h"
#include "text/text.h"

namespace zerb {

enum class HeightFit { kNone, kConstant, kPlane, kQuadric, kAuto };

// "none", "constant", "plane", "quadric" or "auto".
Reason ParseHeightFit(std::string_view text, HeightFit* fit);
// The name ParseHeightFit reads.
const char* HeightFitName(HeightFit fit);
// The coefficients of each surface (1, 3, 6) and the points that determine it.
int SurfaceCoefficients(HeightFit fit);

// The automatic choice of a height surface from the points that fit heights (check points not
// counted): the constant for 1 to 3, the inclined plane for 4 to 9, the quadric from 10. The
// plane from 4 and the quadric from 10 leave 1 and 4 redundant points, the least for a height
// test to have anything to say (a surface through every point tests nothing). A surface the
// points' layout cannot determine (all on a line) gives way to the next simpler one.
HeightFit AutomaticHeightFit(std::size_t points);

struct PlaneSettings {
  bool fix_scale = false;
  HeightFit height_fit = HeightFit::kAuto;
  // The ellipsoid of the GNSS side, on which its points are projected.
  double gnss_a = 6378137.0;
  double gnss_inverse_flattening = 298.257223563;
  // The grid's false easting and northing, scale and projection height, with which the GNSS
  // points are projected as the grid is (its ellipsoid is not used: the GNSS side keeps its own).
  crs::GridSystem grid;
};

// The similarity in the controllers' form (see above).
struct Similarity {
  double north = 0;     // dx, metres
  double east = 0;      // dy, metres
  double rotation = 0;  // a, arc-seconds, clockwise
  double scale = 1;     // k
};

// A height surface's coefficients: a0 in metres, the slopes in mm/km (ppm), the quadric's terms
// in mm/km^2, about the reference point (grid metres).
struct Surface {
  HeightFit kind = HeightFit::kNone;
  double reference_north = 0;
  double reference_east = 0;
  std::array<double, 6> coefficient{};  // a0, an, ae, ann, ane, aee
  std::array<double, 6> standard_deviation{};
  // The height anomaly H - h at a grid position (metres).
  double At(double north, double east) const;
};

class PlaneFit {
 public:
  PlaneFit() = default;
  PlaneFit(const PlaneFit&) = delete;
  PlaneFit& operator=(const PlaneFit&) = delete;

  double meridian = 0;
  PlaneSettings settings;
  crs::TransverseMercator projection;  // of the GNSS points

  // The horizontal fit. Its adjust parameters are tx, ty (metres), and p, q for the free scale
  // or the rotation (radians) with the scale held.
  adjust::PointFit horizontal_points;
  adjust::PointFitResult horizontal;
  double reference_north = 0;  // the reduction point (metres, projected and grid alike)
  double reference_east = 0;
  double shift_north = 0;  // grid less projected at the reference point, metres
  double shift_east = 0;
  Similarity similarity;  // as fitted
  Similarity exported;    // rounded: 0.1 mm, 1e-6 arc-second, 1e-6 ppm; see plane_model.cpp
  // Standard deviations and correlation of (shift north, shift east at the reference point,
  // rotation in arc-seconds, scale in ppm); the scale's are 0 when it is held.
  std::array<double, 4> standard_deviation{};
  std::array<std::array<double, 4>, 4> correlation{};

  // The height fit (asked for in settings.height_fit); kind kNone when there is none. auto_note:
  // why the automatic choice took a simpler surface than its count rule, or empty.
  std::string auto_note;
  adjust::PointFit vertical_points;
  adjust::PointFitResult vertical;
  Surface surface;
  Surface exported_surface;  // a0 to 0.1 mm, the others to 1e-6 of their units

  // For each point of the set, its index in each fit, -1 when it is not in it.
  std::vector<std::int64_t> horizontal_index;
  std::vector<std::int64_t> vertical_index;
  // Each point's GNSS position projected (metres).
  std::vector<double> projected_north;
  std::vector<double> projected_east;

  std::unique_ptr<adjust::PointModel> horizontal_model;
  std::unique_ptr<adjust::PointModel> vertical_model;
};

// Fits the plane model to the points (which must carry their plane records): the similarity with
// settings' tests and sigma_horizontal, the height fit with sigma_vertical. Returns why there is
// no fit, or an empty reason with the fit in *fit (which must be a fresh PlaneFit).
Reason FitPlane(const PointSet& points, const adjust::Settings& settings,
                const PlaneSettings& plane, PlaneFit* fit);

}  // namespace zerb

#endif  // ZERB_MODELS_PLANE_MODEL_H
