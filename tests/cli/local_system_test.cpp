// Grids beyond Beijing 1954: a Xi'an 1980 city grid (IAG 1975, central meridian 116°30′, false
// easting and northing of its own, on a surface 50 m up) and a grid on an ellipsoid given as
// A,RF with a scale factor, fitted by zerb-shift and read back by PROJ in every CRS form.
//
// The truths come from PROJ alone: grid points carried forward by a pipeline written out here
// from the system and known parameters (inverse transverse Mercator on the grid's ellipsoid with
// the scale (a + h0) / a, geocentric, Helmert, geodetic on the GNSS ellipsoid). Forward only, so
// no approximate inverse Helmert enters, and what is left is zerb's error.
#include <gtest/gtest.h>
#include <proj.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "tests/cli/support.h"
#include "tests/crs/crs_test_support.h"
#include "tests/crs/run_program.h"

namespace zerb::test {
namespace {

// What the exports claim. A projection height left out is 7.8 ppm (0.12 m at 15 km), a false
// northing or easting dropped kilometres, another ellipsoid's flattening tens of centimetres:
// every fault this guards against is far beyond it.
constexpr double kToleranceMetres = 1e-4;

std::string Text(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

struct System {
  const char* name;
  std::vector<std::string_view> options;  // zerb-shift's for the grid
  std::string projection;  // PROJ's inverse step of the grid, with the scale (a + h0) / a
  std::string ellipsoid;   // PROJ's parameters of the grid's ellipsoid
  double north0, east0;    // the site's middle on the grid, metres
  bool seven;
  bool cgcs2000;  // the GNSS side in CGCS2000 (GRS80) rather than WGS 84
};

struct Shift {
  double tx, ty, tz, rx, ry, rz, s;  // metres, arc-seconds, ppm; position vector
};
constexpr Shift kSeven = {-24.5123456, -120.3234567, -62.1345678, 0.8123456,
                          -1.2234567,  2.1345678,    3.2456789};
constexpr Shift kThree = {-24.5123456, -120.3234567, -62.1345678, 0, 0, 0, 0};

struct Point {
  std::string name;
  double north, east, h;  // grid
  double lon, lat, H;     // GNSS, degrees and metres
};

// Nine points over a site of 30 km, carried from the grid by PROJ.
std::vector<Point> MakePoints(const System& system) {
  const Shift& k = system.seven ? kSeven : kThree;
  const std::string pipeline =
      "+proj=pipeline +step +inv " + system.projection + " " + system.ellipsoid +
      " +step +proj=cart " + system.ellipsoid + " +step +proj=helmert +x=" + Text("%.9g", k.tx) +
      " +y=" + Text("%.9g", k.ty) + " +z=" + Text("%.9g", k.tz) + " +rx=" + Text("%.9g", k.rx) +
      " +ry=" + Text("%.9g", k.ry) + " +rz=" + Text("%.9g", k.rz) + " +s=" + Text("%.9g", k.s) +
      " +convention=position_vector +step +inv +proj=cart +ellps=" +
      (system.cgcs2000 ? "GRS80" : "WGS84") + " +step +proj=unitconvert +xy_in=rad +xy_out=deg";
  const crs_test::Context context;
  const crs_test::Pj pj(proj_create(context.get(), pipeline.c_str()));
  EXPECT_NE(pj, nullptr) << pipeline;
  std::vector<Point> points;
  if (!pj)
    return points;
  const double offsets[9][2] = {{-14e3, -13e3}, {-12e3, 9e3}, {-2e3, 14e3},
                                {0, 0},         {3e3, -8e3},  {9e3, 12e3},
                                {13e3, -4e3},   {15e3, 5e3},  {-6e3, -15e3}};
  for (int i = 0; i < 9; ++i) {
    Point p;
    p.name = "S" + std::to_string(i + 1);
    p.north = system.north0 + offsets[i][0];
    p.east = system.east0 + offsets[i][1];
    p.h = 40 + 3.5 * i;
    const PJ_COORD out = proj_trans(pj.get(), PJ_FWD, proj_coord(p.east, p.north, p.h, 0));
    p.lon = out.v[0];
    p.lat = out.v[1];
    p.H = out.v[2];
    points.push_back(p);
  }
  return points;
}

std::string Table(const std::vector<Point>& points) {
  std::string csv = "name,x,y,h,B,L,H\n";
  for (const Point& p : points) {
    // Micrometres and 1e-11 degree: the table carries the truth far below the tolerance.
    csv += p.name + "," + Text("%.6f", p.north) + "," + Text("%.6f", p.east) + "," +
           Text("%.6f", p.h) + "," + Text("%.11f", p.lat) + "," + Text("%.11f", p.lon) + "," +
           Text("%.6f", p.H) + "\n";
  }
  return csv;
}

std::vector<std::string_view> Arguments(const System& system, std::string_view format) {
  std::vector<std::string_view> args = {"--model", system.seven ? "7" : "3", "-f", format};
  args.insert(args.end(), system.options.begin(), system.options.end());
  if (system.cgcs2000) {
    args.push_back("--gnss-datum");
    args.push_back("cgcs2000");
  }
  return args;
}

// The worst distances from each grid point, through op, to its GNSS position.
void Reach(PJ* op, const std::vector<Point>& points, bool three_d, double* horizontal,
           double* height) {
  *horizontal = *height = 0;
  for (const Point& p : points) {
    const crs_test::Geographic g = crs_test::ToWgs84(op, {p.east, p.north, p.h});
    *horizontal = std::max(*horizontal, crs_test::HorizontalMetres(g, {p.lon, p.lat, p.H}));
    if (three_d)
      *height = std::max(*height, std::fabs(g.h - p.H));
  }
}

class LocalSystems : public testing::TestWithParam<System> {};

TEST_P(LocalSystems, TheFitIsRecoveredAndEveryFormBringsThePointsWithin0_1Millimetre) {
  const System& system = GetParam();
  const std::vector<Point> points = MakePoints(system);
  ASSERT_EQ(points.size(), 9u);
  const std::string csv = Table(points);

  const RunResult json = RunZerbShift(Arguments(system, "json"), csv);
  ASSERT_EQ(json.status, kExitOk) << json.err;
  rapidjson::Document d;
  ASSERT_TRUE(ParseJson(json.out, &d));
  const Shift& k = system.seven ? kSeven : kThree;
  // Micrometre input over 30 km: the translations to a few hundredths of a millimetre through
  // their correlation with the rotations, the rotations and scale to 1e-6.
  EXPECT_NEAR(NumberAt(d, "/parameters/tx/unrounded"), k.tx, 2e-4);
  EXPECT_NEAR(NumberAt(d, "/parameters/ty/unrounded"), k.ty, 2e-4);
  EXPECT_NEAR(NumberAt(d, "/parameters/tz/unrounded"), k.tz, 2e-4);
  if (system.seven) {
    EXPECT_NEAR(NumberAt(d, "/parameters/rx/unrounded"), k.rx, 1e-5);
    EXPECT_NEAR(NumberAt(d, "/parameters/ry/unrounded"), k.ry, 1e-5);
    EXPECT_NEAR(NumberAt(d, "/parameters/rz/unrounded"), k.rz, 1e-5);
    EXPECT_NEAR(NumberAt(d, "/parameters/s/unrounded"), k.s, 1e-5);
  }
  EXPECT_LT(NumberAt(d, "/sigma0"), 1e-4);

  const crs_test::Context context;
  const char* const hub3 = system.cgcs2000 ? "EPSG:4480" : "EPSG:4979";
  struct Form {
    const char* name;
    bool three_d;
  };
  std::vector<Form> forms = {{"crs-wkt2", true}, {"crs-projjson", true}};
  if (!system.cgcs2000) {
    forms.push_back({"crs-proj", false});
    forms.push_back({"crs-wkt1", false});
  }
  for (const Form& form : forms) {
    const RunResult r = RunZerbShift(Arguments(system, form.name), csv);
    ASSERT_EQ(r.status, kExitOk) << form.name << ": " << r.err;
    const crs_test::Pj op = crs_test::OperationFromDefinition(
        context.get(), r.out, form.three_d ? hub3 : (system.cgcs2000 ? "EPSG:4490" : "EPSG:4326"),
        !form.three_d);
    ASSERT_NE(op, nullptr) << form.name << "\n" << r.out;
    double horizontal = 0, height = 0;
    Reach(op.get(), points, form.three_d, &horizontal, &height);
    EXPECT_LT(horizontal, kToleranceMetres) << form.name;
    EXPECT_LT(height, kToleranceMetres) << form.name;
  }
  const RunResult pipeline = RunZerbShift(Arguments(system, "pipeline"), csv);
  ASSERT_EQ(pipeline.status, kExitOk) << pipeline.err;
  const crs_test::Pj op(proj_create(context.get(), pipeline.out.c_str()));
  ASSERT_NE(op, nullptr) << pipeline.out;
  double horizontal = 0, height = 0;
  Reach(op.get(), points, true, &horizontal, &height);
  EXPECT_LT(horizontal, kToleranceMetres) << pipeline.out;
  EXPECT_LT(height, kToleranceMetres) << pipeline.out;
}

// A Xi'an 1980 city grid: IAG 1975, central meridian 116°30′ (between the zones' meridians),
// false easting 50 km and northing -4000 km, projected on the surface 50 m above the ellipsoid.
System XianCity(bool seven, bool cgcs2000) {
  const double scale = (6378140.0 + 50) / 6378140.0;
  return System{
      seven ? (cgcs2000 ? "XianCitySevenToCgcs2000" : "XianCitySeven") : "XianCityThree",
      {"--ellipsoid", "iag75", "--central-meridian", "116:30:00", "--false-easting", "50000",
       "--false-northing", "-4000000", "--projection-height", "50"},
      "+proj=tmerc +lat_0=0 +lon_0=116.5 +k=" + Text("%.17g", scale) + " +x_0=50000 +y_0=-4000000",
      "+a=6378140 +rf=298.257",
      420000,
      50000,
      seven,
      cgcs2000};
}

// A grid on an ellipsoid of one's own (A,RF), with a scale factor and plain six-digit eastings.
System OwnEllipsoid() {
  return System{"OwnEllipsoidScaled",
                {"--ellipsoid", "6378200,298.25", "--L0", "114", "--scale-factor", "0.9999"},
                "+proj=tmerc +lat_0=0 +lon_0=114 +k=0.9999 +x_0=500000 +y_0=0",
                "+a=6378200 +rf=298.25",
                3380000,
                480000,
                true,
                false};
}

INSTANTIATE_TEST_SUITE_P(Systems, LocalSystems,
                         testing::Values(XianCity(true, false), XianCity(false, false),
                                         XianCity(true, true), OwnEllipsoid()),
                         [](const testing::TestParamInfo<System>& each) {
                           return std::string(each.param.name);
                         });

// As a surveyor checks it: cs2cs, the program, from the WKT2 definition to CGCS2000 2D
// (EPSG:4490), where a definition bound to WGS 84 would get a ballpark 137 m off.
TEST(LocalSystemPrograms, Cs2csTakesTheXianGridToCgcs2000) {
  const System system = XianCity(true, true);
  const std::vector<Point> points = MakePoints(system);
  ASSERT_EQ(points.size(), 9u);
  const RunResult wkt = RunZerbShift(Arguments(system, "crs-wkt2"), Table(points));
  ASSERT_EQ(wkt.status, kExitOk) << wkt.err;
  std::string input;
  for (const Point& p : points)
    input += Text("%.6f", p.east) + " " + Text("%.6f", p.north) + " " + Text("%.6f", p.h) + "\n";
  const crs_test::ProgramResult r =
      crs_test::RunProgram(PROJ_CS2CS, {"-d", "11", wkt.out, "EPSG:4490"}, input);
  ASSERT_EQ(r.exit_code, 0) << r.output;
  std::istringstream lines(r.output);
  double worst = 0;
  for (const Point& p : points) {
    double lat = 0, lon = 0;
    ASSERT_TRUE(lines >> lat >> lon) << r.output;
    std::string rest;
    std::getline(lines, rest);
    worst = std::max(worst, crs_test::HorizontalMetres({lon, lat, 0}, {p.lon, p.lat, 0}));
  }
  EXPECT_LT(worst, kToleranceMetres) << r.output;
}

TEST(LocalSystemNames, TheDefinitionsSayWhatTheGridIs) {
  const System system = XianCity(true, false);
  const RunResult r = RunZerbShift(Arguments(system, "crs-wkt2"), Table(MakePoints(system)));
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_NE(r.out.find("PROJCRS[\"Local datum (IAG 1975) / local TM CM 116\u00B030\u2032E, FE "
                       "50000 m, FN -4000000 m, h0 = 50 m, 7-parameter fit to 9 points\""),
            std::string::npos)
      << r.out.substr(0, 400);
  EXPECT_NE(r.out.find("ELLIPSOID[\"IAG 1975\",6378140,298.257"), std::string::npos);
  const RunResult text = RunZerbShift(Arguments(system, "text"), Table(MakePoints(system)));
  EXPECT_NE(text.out.find("grid: transverse Mercator on IAG 1975 (a = 6378140 m, 1/f = 298.257), "
                          "central meridian 116.5, false easting 50000 m, false northing -4000000 "
                          "m, scale 1, projection height 50 m\n"),
            std::string::npos)
      << text.out;
}

// The names in WKT1 stay ASCII, for the .prj readers that take them as Latin-1; the JSON writes
// the system's lengths as people do (-4000000, not -4e+06).
TEST(LocalSystemNames, Wkt1NamesAreAsciiAndJsonLengthsPlain) {
  const System system = XianCity(true, false);
  const std::string csv = Table(MakePoints(system));
  const RunResult wkt1 = RunZerbShift(Arguments(system, "crs-wkt1"), csv);
  ASSERT_EQ(wkt1.status, kExitOk) << wkt1.err;
  EXPECT_TRUE(std::all_of(wkt1.out.begin(), wkt1.out.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x80;
  })) << wkt1.out;
  EXPECT_NE(wkt1.out.find("local TM CM 116.5E, FE 50000 m"), std::string::npos) << wkt1.out;
  const RunResult json = RunZerbShift(Arguments(system, "json"), csv);
  EXPECT_NE(json.out.find("\"false_northing\":-4000000,"), std::string::npos);
  EXPECT_NE(json.out.find("\"false_easting\":50000,"), std::string::npos);
}

// --central-meridian is the grid's meridian: a row whose L0 says another is refused with both
// named, not projected on its own and refused as kilometres apart.
TEST(LocalSystemOptions, AnL0ColumnMustAgreeWithTheCentralMeridian) {
  System system = XianCity(true, false);
  std::string csv = Table(MakePoints(system));
  // An L0 column of 116 in every row.
  std::string with_l0 = "name,x,y,h,L0,B,L,H\n";
  std::istringstream rows(csv.substr(csv.find('\n') + 1));
  for (std::string row; std::getline(rows, row);) {
    const std::size_t third =
        row.find(',', row.find(',', row.find(',', row.find(',') + 1) + 1) + 1);
    with_l0 += row.substr(0, third) + ",116" + row.substr(third) + "\n";
  }
  const RunResult r = RunZerbShift(Arguments(system, "text"), with_l0);
  EXPECT_EQ(r.status, kExitNoPoint);
  EXPECT_NE(r.err.find("line 2: the row's central meridian 116 (its L0 or zone) disagrees with "
                       "--central-meridian 116.5"),
            std::string::npos)
      << r.err;
}

// A false easting holding the zone number, as a crs-proj definition writes it (+x_0=39500000),
// reads the 8-digit eastings as plain numbers and fits as the zone does.
TEST(LocalSystemEastings, AFalseEastingWithTheZoneFitsAsTheZone) {
  const std::string csv =
      "name,x,y,h,B,L,H\n"
      "GP01,4419971.693,39458259.110,92.591,39:54:44.4420,116:30:44.4420,52.317\n"
      "GP02,4435312.960,39477300.914,89.003,40:03:04.4424,116:44:04.2432,48.902\n";
  const RunResult zone = RunZerbShift({"-f", "towgs84"}, csv);
  const RunResult plain =
      RunZerbShift({"-f", "towgs84", "--false-easting", "39500000", "--L0", "117"}, csv);
  ASSERT_EQ(plain.status, kExitOk) << plain.err;
  EXPECT_EQ(plain.out, zone.out);
}

TEST(LocalSystemOptions, WrongValuesAndCombinationsAreUsageErrors) {
  const std::string csv = "name,x,y,h,B,L,H\nA,4419971.693,458259.110,92.591,39.9,117.1,80\n";
  struct Case {
    std::vector<std::string_view> args;
    const char* says;
  };
  const Case cases[] = {
      {{"--ellipsoid", "bessel"}, "unknown ellipsoid 'bessel'"},
      {{"--ellipsoid", "6378245"}, "unknown ellipsoid"},
      {{"--ellipsoid", "637824,298.3"}, "semi-major axis must lie between"},
      {{"--ellipsoid", "6378245,0"}, "inverse flattening between 280 and 310"},
      {{"--L0", "117", "--central-meridian", "117"}, "give one of them"},
      {{"--central-meridian", "abc"}, "--central-meridian 'abc'"},
      {{"--scale-factor", "2"}, "--scale-factor needs a scale between 0.9 and 1.1"},
      {{"--false-easting", "x"}, "--false-easting needs a number"},
      {{"--projection-height", "12000"}, "between -1000 and 9000 m"},
      // The dialog's series has Beijing 1954's constants built in.
      {{"--projection", "dialog", "--ellipsoid", "iag75"}, "cannot project another ellipsoid"},
      {{"--projection", "dialog", "--projection-height", "50"}, "or a local system"},
      {{"--projection", "dialog", "--central-meridian", "116.5"}, "whole-degree central"},
  };
  for (const Case& c : cases) {
    const RunResult r = RunZerbShift(c.args, csv);
    EXPECT_EQ(r.status, kExitUsage) << c.args[0] << " " << c.args[1];
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
}

// An eight-digit easting is a zone number and an easting only with the zones' false easting:
// with another, 39458259.110 is a plain number, 39000 km from the false easting, and refused as
// far from the point rather than silently read as zone 39.
TEST(LocalSystemEastings, AZoneNumberIsNotReadWithAnotherFalseEasting) {
  const std::string csv =
      "name,x,y,h,B,L,H\nA,4419971.693,39458259.110,92.591,39:54:16.00,116:30:00,80\n";
  const RunResult zoned = RunZerbShift({"-f", "csv"}, csv);
  EXPECT_EQ(zoned.status, kExitNoPoint);  // zone 39 is L0 117: 40 km west of this longitude
  const RunResult plain = RunZerbShift({"--false-easting", "50000", "--L0", "117"}, csv);
  EXPECT_EQ(plain.status, kExitNoPoint);
  EXPECT_NE(plain.err.find("km apart"), std::string::npos) << plain.err;
}

// Beijing 1954's grid, the default, writes what it wrote before there were other systems.
TEST(LocalSystemDefault, BeijingReportsHaveNoGridSystem) {
  const std::string csv =
      "name,x,y,h,B,L,H\nGP01,4419971.693,39458259.110,92.591,39:54:44.4420,116:30:44.4420,"
      "52.317\n";
  const RunResult json = RunZerbShift({"-f", "json"}, csv);
  ASSERT_EQ(json.status, kExitOk) << json.err;
  EXPECT_EQ(json.out.find("\"grid\""), std::string::npos);
  const RunResult text = RunZerbShift({}, csv);
  EXPECT_EQ(text.out.find("grid: "), std::string::npos);
}

}  // namespace
}  // namespace zerb::test
