// Every definition read back by PROJ, as GDAL, QGIS, cs2cs and cct read it, must bring common
// points from the grid to their WGS-84 coordinates: in 3D for the forms that carry the height,
// horizontally for WKT1, which has no height. The PROJ string is 2D to PROJ's library; cs2cs gives
// it the height axis itself toward a 3D target, and so does the check here. Three and seven
// parameters, with the zone in the false easting (a 3-degree and a 6-degree zone) and without.
//
// Tolerance 1 mm throughout: what the grid's users need, and more than ten times what is left
// when everything is right (PROJ's Gauss-Krueger round trip is at the nanometre; its inverse
// Helmert, which made the points, differs from the exact inverse by under 0.2 mm at 7 ppm of
// rotation). Every fault a definition can carry is metres or more: a rotation of the wrong sign
// about 30 m per arc-second, a height passed through unchanged about 60 m, a wrong zone km.
#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <string>
#include <tuple>

#include "crs/crs_definitions.h"
#include "crs_test_support.h"

namespace {

using zerb::crs::Form;
using zerb::crs::Grid;
using zerb::crs::Helmert;

constexpr double kToleranceMetres = 1e-3;

struct GridCase {
  const char* label;
  Grid grid;
};
constexpr GridCase kGrids[] = {
    {"Zone39", {117, 39}},  // 3-degree zone in the eastings, x_0 = 39 500 000 m
    {"Zone20", {117, 20}},  // 6-degree zone in the eastings, x_0 = 20 500 000 m
    {"Cm105", {105, 0}},    // no zone in the eastings, x_0 = 500 000 m
};

using Case = std::tuple<Form, bool, GridCase>;

class DefinitionReadBack : public testing::TestWithParam<Case> {
 protected:
  Form form() const { return std::get<0>(GetParam()); }
  Helmert shift() const {
    return std::get<1>(GetParam()) ? crs_test::SevenParameters() : crs_test::ThreeParameters();
  }
  Grid grid() const { return std::get<2>(GetParam()).grid; }

  std::string Definition() const {
    std::string text;
    const std::string error = zerb::crs::Define(form(), shift(), grid(), 5, &text);
    EXPECT_EQ(error, "");
    return text;
  }
};

TEST_P(DefinitionReadBack, BringsGridPointsToWgs84) {
  const std::string definition = Definition();
  ASSERT_FALSE(definition.empty());
  const crs_test::Context context;
  crs_test::Pj operation;
  if (form() == Form::kPipeline) {
    operation = crs_test::Pj(proj_create(context.get(), definition.c_str()));
  } else {
    operation = crs_test::OperationFromDefinition(context.get(), definition, "EPSG:4979",
                                                  form() == Form::kCrsProj);
  }
  ASSERT_NE(operation, nullptr) << definition;
  const bool carries_height = form() != Form::kCrsWkt1;
  for (const crs_test::CommonPoint& point : crs_test::CommonPoints(shift(), grid())) {
    const crs_test::Geographic got = crs_test::ToWgs84(operation.get(), point.grid);
    EXPECT_LT(crs_test::HorizontalMetres(got, point.wgs84), kToleranceMetres)
        << "at " << point.wgs84.lat_deg << "N " << point.wgs84.lon_deg << "E";
    if (carries_height) {
      EXPECT_NEAR(got.h, point.wgs84.h, kToleranceMetres)
          << "at " << point.wgs84.lat_deg << "N " << point.wgs84.lon_deg << "E";
    }
  }
}

// The pipeline's inverse, what cct -I runs, takes WGS 84 back to the grid.
class PipelineInverse : public testing::TestWithParam<std::tuple<bool, GridCase>> {};

TEST_P(PipelineInverse, BringsWgs84PointsToGrid) {
  const Helmert shift =
      std::get<0>(GetParam()) ? crs_test::SevenParameters() : crs_test::ThreeParameters();
  const Grid grid = std::get<1>(GetParam()).grid;
  std::string definition;
  const std::string error = zerb::crs::Define(Form::kPipeline, shift, grid, 5, &definition);
  ASSERT_EQ(error, "");
  const crs_test::Context context;
  const crs_test::Pj pipeline(proj_create(context.get(), definition.c_str()));
  ASSERT_NE(pipeline, nullptr);
  for (const crs_test::CommonPoint& point : crs_test::CommonPoints(shift, grid)) {
    const crs_test::GridPoint got = crs_test::ToGrid(pipeline.get(), point.wgs84);
    EXPECT_LT(std::hypot(got.easting - point.grid.easting, got.northing - point.grid.northing),
              kToleranceMetres);
    EXPECT_NEAR(got.h, point.grid.h, kToleranceMetres);
  }
}

std::string InverseCaseName(const testing::TestParamInfo<std::tuple<bool, GridCase>>& info) {
  return std::string(std::get<0>(info.param) ? "Seven" : "Three") + std::get<1>(info.param).label;
}

INSTANTIATE_TEST_SUITE_P(BothModels, PipelineInverse,
                         testing::Combine(testing::Bool(), testing::ValuesIn(kGrids)),
                         InverseCaseName);

std::string CaseName(const testing::TestParamInfo<Case>& info) {
  const Form form = std::get<0>(info.param);
  std::string name;
  for (const char c : zerb::crs::FormName(form)) {
    if (c != '-') {
      name += c;
    }
  }
  return name + (std::get<1>(info.param) ? "Seven" : "Three") + std::get<2>(info.param).label;
}

INSTANTIATE_TEST_SUITE_P(AllForms, DefinitionReadBack,
                         testing::Combine(testing::Values(Form::kCrsProj, Form::kCrsWkt1,
                                                          Form::kCrsWkt2, Form::kCrsProjJson,
                                                          Form::kPipeline),
                                          testing::Bool(), testing::ValuesIn(kGrids)),
                         CaseName);

}  // namespace
