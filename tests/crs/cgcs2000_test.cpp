// Definitions of a shift to CGCS2000: bound to EPSG:4480 (3D), the transformation's target the
// same and named for it, read back by PROJ toward EPSG:4480 and EPSG:4490 they bring grid points
// to their CGCS2000 coordinates; the pipeline ends on GRS80. The forms that can only say WGS 84
// (+towgs84, TOWGS84) are refused, and the WGS-84 definitions of the same shift are what PROJ
// reduces to a ballpark toward CGCS2000.
//
// Tolerance 0.01 mm: the parameters here are as the exports round them, and the points are made
// forward from the grid (no approximate inverse Helmert), so what is left is PROJ's rounding,
// nanometres. Every fault is larger by far: the shift dropped for a ballpark tens of metres, the
// GRS80 ellipsoid taken for WGS 84's 0.1 mm.
#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <string>

#include "crs/crs_definitions.h"
#include "crs_test_support.h"

namespace {

using zerb::crs::Form;
using zerb::crs::Grid;
using zerb::crs::Helmert;
using zerb::crs::Target;

constexpr double kToleranceMetres = 1e-5;
constexpr Grid kGrid{117, 39};

class Cgcs2000Definition : public testing::TestWithParam<bool> {
 protected:
  Helmert Shift() const {
    Helmert shift = GetParam() ? crs_test::SevenParameters() : crs_test::ThreeParameters();
    shift.target = Target::kCgcs2000;
    return shift;
  }
  std::string Definition(Form form, const Helmert& shift) const {
    std::string text;
    EXPECT_EQ(zerb::crs::Define(form, shift, kGrid, 5, &text), "");
    return text;
  }
};

TEST_P(Cgcs2000Definition, ReadBackTowardEpsg4480And4490BringsTheGridToCgcs2000) {
  const auto points = crs_test::CommonPointsFromGrid(Shift(), kGrid, "GRS80");
  for (const Form form : {Form::kCrsWkt2, Form::kCrsProjJson}) {
    for (const char* target : {"EPSG:4480", "EPSG:4490"}) {
      SCOPED_TRACE(std::string(zerb::crs::FormName(form)) + " to " + target);
      const crs_test::Context context;
      const crs_test::Pj operation =
          crs_test::OperationFromDefinition(context.get(), Definition(form, Shift()), target);
      ASSERT_NE(operation, nullptr);
      EXPECT_FALSE(proj_coordoperation_has_ballpark_transformation(context.get(), operation.get()));
      for (const crs_test::CommonPoint& p : points) {
        const crs_test::Geographic got = crs_test::ToWgs84(operation.get(), p.grid);
        EXPECT_LT(crs_test::HorizontalMetres(got, p.wgs84), kToleranceMetres);
        if (std::string(target) == "EPSG:4480") {
          EXPECT_NEAR(got.h, p.wgs84.h, kToleranceMetres);
        }
      }
    }
  }
}

TEST_P(Cgcs2000Definition, PipelineEndsOnGrs80) {
  const std::string pipeline = Definition(Form::kPipeline, Shift());
  EXPECT_NE(pipeline.find("+step +inv +proj=cart +ellps=GRS80 +step +proj=unitconvert"),
            std::string::npos)
      << pipeline;
  const crs_test::Context context;
  const crs_test::Pj operation(proj_create(context.get(), pipeline.c_str()));
  ASSERT_NE(operation, nullptr) << pipeline;
  for (const crs_test::CommonPoint& p : crs_test::CommonPointsFromGrid(Shift(), kGrid, "GRS80")) {
    const crs_test::Geographic got = crs_test::ToWgs84(operation.get(), p.grid);
    EXPECT_LT(crs_test::HorizontalMetres(got, p.wgs84), kToleranceMetres);
    EXPECT_NEAR(got.h, p.wgs84.h, kToleranceMetres);
  }
}

TEST_P(Cgcs2000Definition, HubAndTargetAreEpsg4480AndTheNameSaysCgcs2000) {
  for (const Form form : {Form::kCrsWkt2, Form::kCrsProjJson}) {
    SCOPED_TRACE(zerb::crs::FormName(form));
    const crs_test::Context context;
    const crs_test::Pj bound(proj_create(context.get(), Definition(form, Shift()).c_str()));
    ASSERT_NE(bound, nullptr);
    const crs_test::Pj hub(proj_get_target_crs(context.get(), bound.get()));
    const crs_test::Pj transformation(proj_crs_get_coordoperation(context.get(), bound.get()));
    ASSERT_NE(hub, nullptr);
    ASSERT_NE(transformation, nullptr);
    const crs_test::Pj target(proj_get_target_crs(context.get(), transformation.get()));
    ASSERT_NE(target, nullptr);
    for (PJ* crs : {hub.get(), target.get()}) {
      EXPECT_STREQ(proj_get_id_auth_name(crs, 0), "EPSG");
      EXPECT_STREQ(proj_get_id_code(crs, 0), "4480");
    }
    EXPECT_NE(std::string(proj_get_name(transformation.get()))
                  .find("Local datum (Krassovsky 1940) to CGCS2000, "),
              std::string::npos)
        << proj_get_name(transformation.get());
  }
}

// The same shift defined toward WGS 84 and read toward EPSG:4490: PROJ has no operation from the
// WGS-84 hub to CGCS2000 but a ballpark, which keeps the grid's latitude and longitude and drops
// the shift; this is what a CGCS2000 user gets without --gnss-datum cgcs2000.
TEST_P(Cgcs2000Definition, TheWgs84DefinitionTowardEpsg4490IsTheBallpark) {
  Helmert wgs84 = Shift();
  wgs84.target = Target::kWgs84;
  const crs_test::Context context;
  const crs_test::Pj operation = crs_test::OperationFromDefinition(
      context.get(), Definition(Form::kCrsWkt2, wgs84), "EPSG:4490");
  ASSERT_NE(operation, nullptr);
  EXPECT_TRUE(proj_coordoperation_has_ballpark_transformation(context.get(), operation.get()));
  for (const crs_test::CommonPoint& p : crs_test::CommonPointsFromGrid(Shift(), kGrid, "GRS80")) {
    EXPECT_GT(crs_test::HorizontalMetres(crs_test::ToWgs84(operation.get(), p.grid), p.wgs84),
              10.0);
  }
}

TEST_P(Cgcs2000Definition, WgsOnlyFormsAreRefusedSayingWhy) {
  for (const Form form : {Form::kCrsProj, Form::kCrsWkt1}) {
    std::string text = "untouched";
    const std::string why = zerb::crs::Define(form, Shift(), kGrid, 5, &text);
    EXPECT_NE(why.find("a shift to WGS 84 by definition"), std::string::npos) << why;
    EXPECT_NE(why.find("use crs-wkt2, crs-projjson or pipeline"), std::string::npos) << why;
    EXPECT_EQ(text, "");
    EXPECT_EQ(zerb::crs::FormRefusal(form, Target::kWgs84), "");
  }
}

INSTANTIATE_TEST_SUITE_P(ThreeAndSeven, Cgcs2000Definition, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& each) {
                           return each.param ? "Seven" : "Three";
                         });

}  // namespace
