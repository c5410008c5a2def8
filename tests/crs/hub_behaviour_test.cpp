// What PROJ 9.1 and its cs2cs do with the definitions toward the different spellings of WGS 84,
// the behaviours the README's instructions rest on. A fault here means a PROJ that behaves
// otherwise, and the README's advice to be revisited.
//
// "Shift applied" is 1 mm, as in read_back_test.cpp; "shift dropped" is more than 10 m, the
// translations alone being 130 m; "height passed through" is exact, PROJ copying the value.
#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "crs/crs_definitions.h"
#include "crs_test_support.h"
#include "run_program.h"

namespace {

using zerb::crs::Form;

constexpr double kToleranceMetres = 1e-3;
constexpr double kDroppedShiftMetres = 10;
constexpr zerb::crs::Grid kZone39{117, 39};

struct Outcome {
  double worst_horizontal = 0;  // metres from the true WGS-84 position
  bool height_passed_through = true;
  bool height_carried = true;  // within 1 mm of the true WGS-84 height
};

Outcome Transform(Form form, const char* target) {
  const zerb::crs::Helmert shift = crs_test::SevenParameters();
  std::string definition;
  const std::string error = zerb::crs::Define(form, shift, kZone39, 5, &definition);
  const crs_test::Context context;
  const crs_test::Pj operation =
      crs_test::OperationFromDefinition(context.get(), definition, target);
  EXPECT_NE(operation, nullptr) << error;
  Outcome outcome;
  if (!operation) {
    return outcome;
  }
  for (const crs_test::CommonPoint& point : crs_test::CommonPoints(shift, kZone39)) {
    const crs_test::Geographic got = crs_test::ToWgs84(operation.get(), point.grid);
    const double horizontal = crs_test::HorizontalMetres(got, point.wgs84);
    if (horizontal > outcome.worst_horizontal) {
      outcome.worst_horizontal = horizontal;
    }
    outcome.height_passed_through = outcome.height_passed_through && got.h == point.grid.h;
    outcome.height_carried =
        outcome.height_carried && std::abs(got.h - point.wgs84.h) < kToleranceMetres;
  }
  return outcome;
}

// A BoundCRS's transformation is used only toward its hub: EPSG:4326 or EPSG:4979.
TEST(BoundCrsHub, Wkt2TowardEpsgWgs84AppliesTheShift) {
  EXPECT_LT(Transform(Form::kCrsWkt2, "EPSG:4326").worst_horizontal, kToleranceMetres);
  EXPECT_TRUE(Transform(Form::kCrsWkt2, "EPSG:4979").height_carried);
}

// cs2cs 9.1 does not: with the PROJ string of WGS 84 as the target it leaves the BoundCRS's
// shift out, though PROJ's library (and projinfo) find the operation with it.
TEST(BoundCrsHub, Cs2csDropsTheShiftTowardProjStringWgs84) {
  const zerb::crs::Helmert shift = crs_test::SevenParameters();
  std::string definition;
  const std::string error = zerb::crs::Define(Form::kCrsWkt2, shift, kZone39, 5, &definition);
  const std::vector<crs_test::CommonPoint> points = crs_test::CommonPoints(shift, kZone39);
  char input[128];
  std::snprintf(input, sizeof input, "%.6f %.6f %.6f\n", points[0].grid.easting,
                points[0].grid.northing, points[0].grid.h);
  const crs_test::ProgramResult result = crs_test::RunProgram(
      PROJ_CS2CS, {"-f", "%.10f", definition, "+proj=longlat +datum=WGS84 +type=crs"}, input);
  ASSERT_EQ(result.exit_code, 0);
  crs_test::Geographic got{};
  ASSERT_EQ(std::sscanf(result.output.c_str(), "%lf %lf %lf", &got.lon_deg, &got.lat_deg, &got.h),
            3);
  EXPECT_GT(crs_test::HorizontalMetres(got, points[0].wgs84), kDroppedShiftMetres);
  const Outcome library = Transform(Form::kCrsWkt2, "+proj=longlat +datum=WGS84 +type=crs");
  EXPECT_LT(library.worst_horizontal, kToleranceMetres);
}

// The PROJ string's +towgs84 does work toward the PROJ string of WGS 84, and toward EPSG:4979;
// but to PROJ's library it is 2D, so the height passes through unshifted.
TEST(BoundCrsHub, ProjStringAppliesTheShiftTowardBothSpellings) {
  EXPECT_LT(Transform(Form::kCrsProj, "+proj=longlat +datum=WGS84 +type=crs").worst_horizontal,
            kToleranceMetres);
  const Outcome to_epsg = Transform(Form::kCrsProj, "EPSG:4979");
  EXPECT_LT(to_epsg.worst_horizontal, kToleranceMetres);
  EXPECT_TRUE(to_epsg.height_passed_through);
}

// A BoundCRS of a 2D projected CRS (WKT1 has no other) passes the height through unchanged,
// tens of metres off: the reason crs-wkt2 is a 3D projected CRS.
TEST(BoundCrsHeight, TwoDimensionalBoundCrsPassesHeightThrough) {
  const Outcome wkt1 = Transform(Form::kCrsWkt1, "EPSG:4979");
  EXPECT_LT(wkt1.worst_horizontal, kToleranceMetres);
  EXPECT_TRUE(wkt1.height_passed_through);
  EXPECT_FALSE(wkt1.height_carried);
}

}  // namespace
