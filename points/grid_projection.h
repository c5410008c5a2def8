// The inverse of the grid's Gauss-Krueger projection: a northing and easting on Krassovsky 1940
// to latitude and longitude, in one of two ways.
//
// - kDialog: the dialog's series (geodesy::GaussKrugerInverse), so that every shift has the
//   dialog's bits. Its own measured table gives 0.7 to 2 mm near the central meridian and 3.4 mm
//   at 3 degrees, growing beyond (projection_domain.h).
// - kExact: PROJ's transverse Mercator (+proj=tmerc, the Poder/Engsager series of Krueger's
//   exact solution, which PROJ uses unless +approx is given), the projection PROJ, GDAL, QGIS and
//   controllers apply the exported parameters with. Against GeographicLib's
//   TransverseMercatorExact it agrees within 6 nm over latitudes -60 to 60 degrees and 5 degrees
//   either side of the central meridian (tests/cli/grid_projection_test.cpp), so fits and exports
//   agree with the programs that apply them: a noise-free seven-parameter fit's +towgs84, applied
//   by PROJ, brings every point within 0.07 mm (1.5 mm through the dialog's series).
#ifndef ZERB_POINTS_GRID_PROJECTION_H
#define ZERB_POINTS_GRID_PROJECTION_H

#include <map>
#include <memory>

#include "text/text.h"

namespace zerb {

enum class ProjectionKind { kDialog, kExact };

// Reads --projection's value: "dialog" or "exact".
Reason ParseProjectionKind(std::string_view text, ProjectionKind* kind);

class GridProjection {
 public:
  explicit GridProjection(ProjectionKind kind);
  ~GridProjection();
  GridProjection(const GridProjection&) = delete;
  GridProjection& operator=(const GridProjection&) = delete;

  ProjectionKind kind() const { return kind_; }

  // The latitude and longitude (radians, Krassovsky) of northing x and easting y (metres, with
  // the 500000 m false easting and no zone number) in the zone of central meridian meridian
  // (whole degrees). A position the projection has no place for gives non-finite values.
  void Inverse(double x, double y, int meridian, double* latitude, double* longitude) const;

 private:
  struct Proj;
  ProjectionKind kind_;
  std::unique_ptr<Proj> proj_;  // kExact only
};

}  // namespace zerb

#endif  // ZERB_POINTS_GRID_PROJECTION_H
