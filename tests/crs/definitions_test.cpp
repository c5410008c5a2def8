// What the definitions say besides the transformation: the names, the absence of any authority
// on what zerb builds (so QGIS does not take the grid for an EPSG CRS and apply EPSG's shift
// instead), the rounding of the parameters, and the refusals of bad input.
#include <gtest/gtest.h>
#include <proj.h>

#include <limits>
#include <string>

#include "crs/crs_definitions.h"
#include "crs_test_support.h"

namespace {

using zerb::crs::Form;
using zerb::crs::Grid;
using zerb::crs::Helmert;

constexpr Form kCrsForms[] = {Form::kCrsProj, Form::kCrsWkt1, Form::kCrsWkt2, Form::kCrsProjJson};
constexpr Form kNamedForms[] = {Form::kCrsWkt1, Form::kCrsWkt2, Form::kCrsProjJson};

std::string Define(Form form, const Helmert& shift, const Grid& grid, std::size_t points = 5) {
  std::string text;
  const std::string error = zerb::crs::Define(form, shift, grid, points, &text);
  EXPECT_EQ(error, "");
  return text;
}

std::string Refusal(const Helmert& shift, const Grid& grid, std::size_t points) {
  std::string text;
  const std::string error = zerb::crs::Define(Form::kCrsWkt2, shift, grid, points, &text);
  EXPECT_EQ(text, "");
  return error;
}

TEST(FormNames, ReadBackToTheirForm) {
  for (const Form form :
       {Form::kCrsProj, Form::kCrsWkt1, Form::kCrsWkt2, Form::kCrsProjJson, Form::kPipeline}) {
    EXPECT_EQ(zerb::crs::ParseForm(zerb::crs::FormName(form)), form);
  }
  EXPECT_EQ(zerb::crs::FormName(Form::kCrsProjJson), "crs-projjson");
  EXPECT_EQ(zerb::crs::ParseForm("crs-wkt"), std::nullopt);
  EXPECT_EQ(zerb::crs::ParseForm("CRS-WKT2"), std::nullopt);
}

TEST(CrsNames, SayDatumGridModelAndPoints) {
  EXPECT_EQ(zerb::crs::CrsName(crs_test::ThreeParameters(), {117, 39}, 5),
            "Local datum (Krassovsky 1940) / Gauss-Kruger zone 39 (CM 117E), "
            "3-parameter fit to 5 points");
  EXPECT_EQ(zerb::crs::CrsName(crs_test::SevenParameters(), {-3, 0}, 12),
            "Local datum (Krassovsky 1940) / Gauss-Kruger CM 3W, 7-parameter fit to 12 points");
  EXPECT_EQ(zerb::crs::CrsName(crs_test::ThreeParameters(), {105, 0}, 1),
            "Local datum (Krassovsky 1940) / Gauss-Kruger CM 105E, 3-parameter fit to 1 point");
}

TEST(CrsNames, ReadBackFromEveryNamedForm) {
  const Grid grid{117, 39};
  const std::string expected = zerb::crs::CrsName(crs_test::SevenParameters(), grid, 5);
  const crs_test::Context context;
  for (const Form form : kNamedForms) {
    const crs_test::Pj bound(
        proj_create(context.get(), Define(form, crs_test::SevenParameters(), grid).c_str()));
    ASSERT_NE(bound, nullptr) << zerb::crs::FormName(form);
    const crs_test::Pj projected(proj_get_source_crs(context.get(), bound.get()));
    ASSERT_NE(projected, nullptr);
    EXPECT_EQ(proj_get_name(projected.get()), expected) << zerb::crs::FormName(form);
  }
}

// Nothing zerb builds carries an ID: not the projected CRS, its geographic CRS, datum, or the
// transformation. Only the hub, WGS 84 itself, is EPSG's.
TEST(Authority, NoneOnTheBuiltObjects) {
  const crs_test::Context context;
  PJ_CONTEXT* const c = context.get();
  for (const Form form : kNamedForms) {
    const crs_test::Pj bound(
        proj_create(c, Define(form, crs_test::SevenParameters(), {117, 39}).c_str()));
    ASSERT_NE(bound, nullptr);
    const crs_test::Pj projected(proj_get_source_crs(c, bound.get()));
    const crs_test::Pj geographic(proj_crs_get_geodetic_crs(c, projected.get()));
    const crs_test::Pj datum(proj_crs_get_datum(c, projected.get()));
    const crs_test::Pj transformation(proj_crs_get_coordoperation(c, bound.get()));
    const crs_test::Pj hub(proj_get_target_crs(c, bound.get()));
    for (const PJ* object :
         {projected.get(), geographic.get(), datum.get(), transformation.get()}) {
      ASSERT_NE(object, nullptr);
      EXPECT_EQ(proj_get_id_auth_name(object, 0), nullptr)
          << zerb::crs::FormName(form) << ": " << proj_get_name(object);
    }
    ASSERT_NE(hub, nullptr);
    EXPECT_STREQ(proj_get_name(hub.get()), "WGS 84");
  }
}

// QGIS takes a definition for a registered CRS when PROJ identifies it with 70 % or more, and
// then uses that CRS's own transformations instead of the fitted shift. The names keep every
// named form below that; the PROJ string carries no names and cannot (hence WKT for QGIS).
TEST(Authority, NamedFormsAreNotIdentifiedAsEpsgCrs) {
  const crs_test::Context context;
  for (const Grid& grid : {Grid{117, 39}, Grid{117, 0}, Grid{117, 20}}) {
    for (const Form form : kNamedForms) {
      const crs_test::Pj crs(
          proj_create(context.get(), Define(form, crs_test::ThreeParameters(), grid).c_str()));
      ASSERT_NE(crs, nullptr);
      int* confidence = nullptr;
      PJ_OBJ_LIST* const matches =
          proj_identify(context.get(), crs.get(), "EPSG", nullptr, &confidence);
      const int count = matches == nullptr ? 0 : proj_list_get_count(matches);
      for (int i = 0; i < count; ++i) {
        EXPECT_LT(confidence[i], 70) << zerb::crs::FormName(form) << " zone " << grid.zone;
      }
      proj_int_list_destroy(confidence);
      proj_list_destroy(matches);
    }
  }
}

// The parameters go to PROJ as the exports write them: 4 decimals of a metre, 6 of an
// arc-second and a ppm, and a rounded zero without its sign. Exact: PROJ writes back the
// shortest decimal of the double it was given.
TEST(Rounding, ParametersAsTheExportsWriteThem) {
  Helmert shift;
  shift.seven = true;
  shift.tx = 15.79961234;
  shift.ty = -130.39905678;
  shift.tz = -0.00004;
  shift.rx = 0.30000049;
  shift.ry = -0.6000006;
  shift.rz = -0.0000004;
  shift.scale_ppm = 0.4000001;
  EXPECT_NE(Define(Form::kCrsProj, shift, {117, 0})
                .find("+towgs84=15.7996,-130.3991,0,0.3,-0.600001,0,0.4 "),
            std::string::npos);
  EXPECT_NE(Define(Form::kCrsWkt1, shift, {117, 0})
                .find("TOWGS84[15.7996,-130.3991,0,0.3,-0.600001,0,0.4]"),
            std::string::npos);
  EXPECT_NE(Define(Form::kPipeline, shift, {117, 0})
                .find("+x=15.7996 +y=-130.3991 +z=0 +rx=0.3 +ry=-0.600001 +rz=0 +s=0.4 "),
            std::string::npos);
  // Every rotation and the scale with a sixth decimal of its own: 1e-6 arc-second is 0.03 mm at
  // the Earth's surface, and the definition must carry it as the export does.
  shift.rx = 0.3512344;
  shift.ry = -0.7234566;
  shift.rz = 1.0543216;
  shift.scale_ppm = 0.4234567;
  EXPECT_NE(Define(Form::kCrsProj, shift, {117, 0})
                .find("+towgs84=15.7996,-130.3991,0,0.351234,-0.723457,1.054322,0.423457 "),
            std::string::npos);
}

// Three parameters ignore whatever the rotations and scale hold, even when not finite.
TEST(Rounding, ThreeParametersIgnoreRotationsAndScale) {
  Helmert shift = crs_test::ThreeParameters();
  shift.rx = 0.5;
  shift.scale_ppm = std::numeric_limits<double>::quiet_NaN();
  EXPECT_NE(Define(Form::kCrsProj, shift, {117, 39}).find("+towgs84=15.8,-130.4,-84.9,0,0,0,0 "),
            std::string::npos);
}

TEST(Refusals, SayWhichInputIsWrong) {
  const Helmert three = crs_test::ThreeParameters();
  const Helmert seven = crs_test::SevenParameters();
  EXPECT_EQ(Refusal(three, {181, 0}, 5), "The central meridian 181 is outside -180..180 degrees.");
  EXPECT_EQ(Refusal(three, {72, 24}, 5),
            "Zone 24 is neither a 6-degree zone (13-23) nor a 3-degree zone (25-45).");
  EXPECT_EQ(Refusal(three, {75, 12}, 5),
            "Zone 12 is neither a 6-degree zone (13-23) nor a 3-degree zone (25-45).");
  EXPECT_EQ(Refusal(three, {138, 46}, 5),
            "Zone 46 is neither a 6-degree zone (13-23) nor a 3-degree zone (25-45).");
  EXPECT_EQ(Refusal(three, {120, 39}, 5), "Zone 39 has the central meridian 117, not 120.");
  EXPECT_EQ(Refusal(three, {114, 20}, 5), "Zone 20 has the central meridian 117, not 114.");
  EXPECT_EQ(Refusal(three, {117, 39}, 0),
            "A 3-parameter fit needs at least 1 common point, not 0.");
  EXPECT_EQ(Refusal(seven, {117, 39}, 2),
            "A 7-parameter fit needs at least 3 common points, not 2.");
  Helmert bad = seven;
  bad.ty = std::numeric_limits<double>::infinity();
  EXPECT_EQ(Refusal(bad, {117, 39}, 5), "The translation ty is not a finite number.");
  bad = seven;
  bad.scale_ppm = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(Refusal(bad, {117, 39}, 5), "The scale difference is not a finite number.");
}

// The zone ends of both kinds are accepted with their central meridians, and so are both ends of
// the central meridians' range without a zone.
TEST(Refusals, ZoneEndsAccepted) {
  for (const Grid& grid :
       {Grid{75, 13}, Grid{135, 23}, Grid{75, 25}, Grid{135, 45}, Grid{180, 0}, Grid{-180, 0}}) {
    for (const Form form : kCrsForms) {
      EXPECT_FALSE(Define(form, crs_test::ThreeParameters(), grid).empty()) << grid.zone;
    }
  }
}

}  // namespace
