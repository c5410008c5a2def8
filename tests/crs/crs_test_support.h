// Common points made independently of the library under test: WGS-84 points chosen by hand,
// carried to the local grid by a PROJ pipeline written out here from the known parameters
// (inverse Helmert, position vector), and the tools to take a definition's view of them.
#ifndef ZERB_TESTS_CRS_CRS_TEST_SUPPORT_H
#define ZERB_TESTS_CRS_CRS_TEST_SUPPORT_H

#include <proj.h>

#include <memory>
#include <string>
#include <vector>

#include "crs/crs_definitions.h"

namespace crs_test {

struct Geographic {
  double lon_deg, lat_deg, h;  // WGS 84 longitude, latitude in degrees, ellipsoidal height m
};
struct GridPoint {
  double easting, northing, h;  // local grid, metres
};
struct CommonPoint {
  Geographic wgs84;
  GridPoint grid;
};

struct PjDeleter {
  void operator()(PJ* object) const { proj_destroy(object); }
};
using Pj = std::unique_ptr<PJ, PjDeleter>;

// A PROJ context of the test's own, destroyed with it.
class Context {
 public:
  Context() : context_(proj_context_create()) {}
  ~Context() { proj_context_destroy(context_); }
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;
  PJ_CONTEXT* get() const { return context_; }

 private:
  PJ_CONTEXT* context_;
};

// A realistic Krassovsky-to-WGS-84 shift (translations like the published regional Beijing 1954
// sets; rotations of 0.3" to 1" and 0.4 ppm, larger than a local fit usually gives, so that a
// wrong sign or convention shows as tens of metres).
zerb::crs::Helmert ThreeParameters();
zerb::crs::Helmert SevenParameters();

// Five WGS-84 points between 25 and 45 degrees north, up to 2.95 degrees either side of L0, with
// heights from -15 m to 4000 m, and their coordinates on the grid under the shift.
std::vector<CommonPoint> CommonPoints(const zerb::crs::Helmert& shift, const zerb::crs::Grid& grid);

// Six grid points of the grid between 25 and 45 degrees north, up to 2.9 degrees from L0, with
// heights from -15 m to 3000 m, and their geographic coordinates (on the ellipsoid ellps, PROJ's
// name: "GRS80" for CGCS2000) under the shift, carried forward by a PROJ pipeline written out here
// (inverse Gauss-Krueger on Krassovsky, geocentric, Helmert, geodetic): no approximate inverse
// Helmert enters, so the points are exact to PROJ's rounding, nanometres.
std::vector<CommonPoint> CommonPointsFromGrid(const zerb::crs::Helmert& shift,
                                              const zerb::crs::Grid& grid, const char* ellps);

// Horizontal distance in metres between two WGS-84 positions a few millimetres apart.
double HorizontalMetres(const Geographic& a, const Geographic& b);

// The operation a user's tool builds from a CRS definition toward target (e.g. "EPSG:4979"),
// longitude first; null if PROJ cannot read the definition or finds no operation. With
// promote_to_3d the definition is first given an ellipsoidal height axis, as cs2cs does with a
// 2D source and a 3D target.
Pj OperationFromDefinition(PJ_CONTEXT* context, const std::string& definition, const char* target,
                           bool promote_to_3d = false);

// The point through an operation that takes (easting, northing, h) to (lon, lat, h) forward.
Geographic ToWgs84(PJ* operation, const GridPoint& grid);
GridPoint ToGrid(PJ* operation, const Geographic& wgs84);

}  // namespace crs_test

#endif  // ZERB_TESTS_CRS_CRS_TEST_SUPPORT_H
