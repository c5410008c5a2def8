// The inverse of the grid's transverse Mercator projection: a northing and easting to latitude and
// longitude on the grid's ellipsoid (Krassovsky 1940 unless the grid's system says otherwise,
// crs/grid_system.h), in one of two ways.
//
// - kDialog: the dialog's series (geodesy::GaussKrugerInverse), so that every shift has the
//   dialog's bits; for Beijing 1954's Gauss-Krueger grid only. Its own measured table gives 0.7 to
//   2 mm near the central meridian and 3.4 mm at 3 degrees, growing beyond (projection_domain.h).
// - kExact: Krueger's series to the sixth order (transverse_mercator.h), the algorithm of PROJ's
//   +proj=tmerc, with which PROJ, GDAL, QGIS and controllers apply the exported parameters.
//   Against GeographicLib's TransverseMercatorExact it agrees within 20 nm over latitudes -60 to
//   60 degrees and 5 degrees either side of the central meridian
//   (tests/cli/grid_projection_test.cpp), so fits and exports agree with the programs that apply
//   them: a noise-free seven-parameter fit's +towgs84, applied by PROJ, brings every point within
//   0.07 mm (1.5 mm through the dialog's series).
#ifndef ZERB_POINTS_GRID_PROJECTION_H
#define ZERB_POINTS_GRID_PROJECTION_H

#include "crs/grid_system.h"
#include "points/transverse_mercator.h"
#include "text/text.h"

namespace zerb {

enum class ProjectionKind { kDialog, kExact };

// Reads --projection's value: "dialog" or "exact".
Reason ParseProjectionKind(std::string_view text, ProjectionKind* kind);
// The name ParseProjectionKind reads.
const char* ProjectionKindName(ProjectionKind kind);

// Why the projection cannot go with the grid's system and central meridian (degrees): the
// dialog's series knows only Beijing 1954's Gauss-Krueger grid with whole-degree meridians.
// Empty when it can; kNoMeridian stands for a meridian still to come from the points.
Reason ProjectionForSystem(ProjectionKind kind, const crs::GridSystem& system,
                           double default_meridian);

class GridProjection {
 public:
  // kind must suit system (ProjectionForSystem); the default system is Beijing 1954's grid.
  explicit GridProjection(ProjectionKind kind, const crs::GridSystem& system = {});

  // The latitude and longitude (radians, on the grid's ellipsoid) of northing x and easting y
  // (metres, with the grid's false northing and easting, no zone number) in the zone of central
  // meridian meridian (degrees). A position the dialog's series has no place for gives
  // non-finite values.
  void Inverse(double x, double y, double meridian, double* latitude, double* longitude) const;

 private:
  ProjectionKind kind_;
  crs::GridSystem system_;
  TransverseMercatorInverse exact_;
};

}  // namespace zerb

#endif  // ZERB_POINTS_GRID_PROJECTION_H
