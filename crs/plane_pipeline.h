// The plane model's PROJ pipeline, in the direction of the other models' pipelines: the grid's
// easting, northing and height in; the GNSS longitude, latitude (degrees) and ellipsoidal height
// out. Steps, all in PROJ 9.1:
//   +proj=affine   the ellipsoidal height, the grid height plus the fitted surface at E, N:
//                  an inclined plane or a constant is one affine row, invertible, so cct -I
//                  takes the height back exactly;
//   +inv +proj=helmert in two dimensions (+theta): the similarity from the projected GNSS
//                  positions to the grid, taken backwards (PROJ's two-dimensional inverse is
//                  exact: the transposed rotation and the reciprocal scale);
//   +inv +proj=tmerc on the GNSS ellipsoid, then radians to degrees.
// A quadric height surface has no step in PROJ 9.1 (affine is linear, vertoffset only slopes).
#ifndef ZERB_CRS_PLANE_PIPELINE_H
#define ZERB_CRS_PLANE_PIPELINE_H

#include <string>

#include "crs/projection.h"

namespace zerb::crs {

// x = north + scale (x' cos a - y' sin a), y = east + scale (x' sin a + y' cos a); x north.
struct PlaneSimilarity {
  double north = 0;     // metres
  double east = 0;      // metres
  double rotation = 0;  // arc-seconds, clockwise (PROJ's +theta)
  double scale = 1;     // factor
};

// The ellipsoidal less the grid height: constant + north_slope (x - reference_north) +
// east_slope (y - reference_east), slopes dimensionless (metres per metre).
struct HeightPlane {
  bool fitted = false;  // false: heights pass unchanged
  double constant = 0;  // metres
  double north_slope = 0;
  double east_slope = 0;
  double reference_north = 0;
  double reference_east = 0;
};

// The pipeline, checked by PROJ. Returns an empty string and the text in *text, or what PROJ
// refused.
std::string PlanePipeline(const TransverseMercator& gnss, const PlaneSimilarity& similarity,
                          const HeightPlane& height, std::string* text);

}  // namespace zerb::crs

#endif  // ZERB_CRS_PLANE_PIPELINE_H
