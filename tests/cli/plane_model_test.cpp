// The plane model through zerb-shift: sites made from a known similarity and a known height
// surface, the GNSS points projected by GeographicLib's transverse Mercator (independent of the
// PROJ projection zerb-shift uses); the fit recovered, PROJ applying the exported pipeline
// bringing every grid point to its GNSS position, the statistics checked by Monte Carlo, and the
// roles and refusals.
#include <gtest/gtest.h>
#include <proj.h>
#include <GeographicLib/TransverseMercator.hpp>

#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "tests/cli/support.h"
#include "tests/readme_points.h"
#include "writers/plane_points.h"

namespace zerb::test {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kArcSecond = kPi / 648000;

struct Truth {
  double north = -40.1234, east = 95.4321;  // origin form, metres
  double rotation = 7.25;                   // arc-seconds, clockwise
  double scale = 1 + 12.3e-6;
  // H - h = c[0] + c[1] n + c[2] e + c[3] n^2 + c[4] n e + c[5] e^2, n, e in km from (N0, E0).
  double c[6] = {-9.8765, 0.0125, -0.00725, 0, 0, 0};
  double n0 = 4420000, e0 = 480000;
  double Anomaly(double n, double e) const {
    const double x = (n - n0) / 1000, y = (e - e0) / 1000;
    return c[0] + c[1] * x + c[2] * y + c[3] * x * x + c[4] * x * y + c[5] * y * y;
  }
};

struct SitePoint {
  std::string name;
  double lat, lon, h;          // GNSS, degrees and metres (WGS 84)
  double north, east, height;  // grid
};

// The grid's transverse Mercator: a zone's (L0 117) or a city grid's, whose projection height
// scales the GNSS side's projection by (a + h0) / a.
struct Frame {
  double meridian = 117;
  double false_easting = 500000, false_northing = 0;
  double height = 0;
};

// count points scattered over a site of about 15 km near 39.9 N, 116.8 E, on a line when
// collinear; grid noise of sigma metres in north, east and height.
std::vector<SitePoint> Site(const Truth& t, int count, double sigma, unsigned seed,
                            bool collinear = false, const Frame& frame = {}) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> u(0, 1);
  std::normal_distribution<double> noise(0, sigma > 0 ? sigma : 1);
  const GeographicLib::TransverseMercator tm(6378137.0, 1 / 298.257223563,
                                             (6378137.0 + frame.height) / 6378137.0);
  const double a = t.rotation * kArcSecond;
  const double c = t.scale * std::cos(a), s = t.scale * std::sin(a);
  std::vector<SitePoint> points;
  for (int i = 0; i < count; ++i) {
    SitePoint p;
    p.name = "P" + std::to_string(i + 1);
    const double f = u(rng);
    p.lat = 39.85 + 0.13 * (collinear ? f : u(rng));
    p.lon = 116.72 + 0.17 * f;
    p.h = 40 + 30 * u(rng);
    double x, y;
    tm.Forward(frame.meridian, p.lat, p.lon, x, y);
    const double e1 = x + frame.false_easting;
    const double n1 = y + frame.false_northing;
    p.north = t.north + c * n1 - s * e1;
    p.east = t.east + s * n1 + c * e1;
    p.height = p.h - t.Anomaly(p.north, p.east);
    if (sigma > 0) {
      p.north += noise(rng);
      p.east += noise(rng);
      p.height += noise(rng);
    }
    points.push_back(p);
  }
  return points;
}

// The table with an L0 column of 117, or without one (l0 false) for a city grid whose meridian
// comes from --central-meridian.
std::string Table(const std::vector<SitePoint>& points, const std::vector<std::string>& roles = {},
                  bool l0 = true) {
  std::string csv =
      std::string("name,x,y,h,") + (l0 ? "L0," : "") + "B,L,H" + (roles.empty() ? "\n" : ",role\n");
  char row[256];
  for (std::size_t i = 0; i < points.size(); ++i) {
    const SitePoint& p = points[i];
    std::snprintf(row, sizeof row, "%s,%.6f,%.6f,%.6f,%s%.11f,%.11f,%.6f", p.name.c_str(), p.north,
                  p.east, p.height, l0 ? "117," : "", p.lat, p.lon, p.h);
    csv += row;
    if (!roles.empty())
      csv += "," + roles[i];
    csv += "\n";
  }
  return csv;
}

rapidjson::Document Json(const std::vector<std::string_view>& options, const std::string& csv) {
  std::vector<std::string_view> args = {"--model", "4", "-f", "json"};
  args.insert(args.end(), options.begin(), options.end());
  const RunResult r = RunZerbShift(args, csv);
  EXPECT_EQ(r.status, kExitOk) << r.err;
  rapidjson::Document d;
  EXPECT_TRUE(ParseJson(r.out, &d)) << r.out.substr(0, 300);
  return d;
}

// The worst horizontal and height distance (metres) from each grid point, through the pipeline,
// to its GNSS position.
void PipelineReach(const std::string& pipeline, const std::vector<SitePoint>& points,
                   double* horizontal, double* height) {
  PJ_CONTEXT* ctx = proj_context_create();
  PJ* pj = proj_create(ctx, pipeline.c_str());
  ASSERT_NE(pj, nullptr) << pipeline;
  *horizontal = 0;
  *height = 0;
  for (const SitePoint& p : points) {
    const PJ_COORD out = proj_trans(pj, PJ_FWD, proj_coord(p.east, p.north, p.height, 0));
    const double dn = (out.v[1] - p.lat) * kPi / 180 * 6371000;
    const double de = (out.v[0] - p.lon) * kPi / 180 * 6371000 * std::cos(p.lat * kPi / 180);
    *horizontal = std::max(*horizontal, std::hypot(dn, de));
    *height = std::max(*height, std::fabs(out.v[2] - p.h));
    // And back: cct -I's direction, exact for every step of the plane model.
    const PJ_COORD back = proj_trans(pj, PJ_INV, out);
    EXPECT_NEAR(back.v[0], p.east, 1e-6);
    EXPECT_NEAR(back.v[1], p.north, 1e-6);
    EXPECT_NEAR(back.v[2], p.height, 1e-6);
  }
  proj_destroy(pj);
  proj_context_destroy(ctx);
}

struct Case {
  const char* name;
  bool fix_scale;
  const char* height_fit;
};

class NoiseFree : public testing::TestWithParam<Case> {};

TEST_P(NoiseFree, TheFitIsRecoveredAndPipelineBringsEveryPointWithin0_1Millimetre) {
  const Case& k = GetParam();
  Truth t;
  if (k.fix_scale)
    t.scale = 1;
  if (std::string(k.height_fit) == "constant")
    t.c[1] = t.c[2] = 0;
  const std::vector<SitePoint> points = Site(t, 12, 0, 5);
  const std::string csv = Table(points);
  std::vector<std::string_view> options = {"--height-fit", k.height_fit};
  if (k.fix_scale)
    options.push_back("--fix-scale");
  const rapidjson::Document d = Json(options, csv);
  // Grid values to 1 micrometre over 15 km: the rotation to 1e-10, 2e-5 arc-seconds.
  EXPECT_NEAR(NumberAt(d, "/horizontal/rotation_arcseconds/value"), t.rotation, 2e-5);
  EXPECT_NEAR(NumberAt(d, "/horizontal/scale_ppm/value"), (t.scale - 1) * 1e6, 1e-4);
  EXPECT_LT(NumberAt(d, "/horizontal/sigma0"), 1e-5);
  std::vector<std::string_view> pipe = {"--model", "4", "-f", "pipeline"};
  pipe.insert(pipe.end(), options.begin(), options.end());
  const RunResult r = RunZerbShift(pipe, csv);
  ASSERT_EQ(r.status, kExitOk) << r.err;
  double horizontal = 0, height = 0;
  PipelineReach(r.out, points, &horizontal, &height);
  // The exports' own rounding (0.1 mm in the shifts and a0) is the budget.
  EXPECT_LT(horizontal, 1e-4) << r.out;
  if (std::string(k.height_fit) != "none") {
    EXPECT_LT(height, 1e-4) << r.out;
  }
}

INSTANTIATE_TEST_SUITE_P(Models, NoiseFree,
                         testing::Values(Case{"FreePlane", false, "plane"},
                                         Case{"FreeConstant", false, "constant"},
                                         Case{"HeldPlane", true, "plane"},
                                         Case{"FreeNoHeights", false, "none"}),
                         [](const testing::TestParamInfo<Case>& i) { return i.param.name; });

// A city grid: central meridian 116°48′ through the site, false easting 50 km and northing
// -4000 km, on the surface 50 m up. The GNSS side is projected as the grid is, so the fitted scale
// is the truth's; a projection height left out would add 7.8 ppm, a false easting or northing
// dropped would refuse every point.
TEST(PlaneLocalSystem, ACityGridIsRecoveredAndItsPipelineBringsEveryPointWithin0_1Millimetre) {
  const Truth t;
  const Frame frame{116.8, 50000, -4000000, 50};
  const std::vector<SitePoint> points = Site(t, 12, 0, 5, false, frame);
  const std::string csv = Table(points, {}, false);
  const std::vector<std::string_view> options = {
      "--height-fit",        "plane", "--central-meridian", "116:48:00",
      "--false-easting",     "50000", "--false-northing",   "-4000000",
      "--projection-height", "50"};
  const rapidjson::Document d = Json(options, csv);
  EXPECT_NEAR(NumberAt(d, "/horizontal/rotation_arcseconds/value"), t.rotation, 2e-5);
  EXPECT_NEAR(NumberAt(d, "/horizontal/scale_ppm/value"), (t.scale - 1) * 1e6, 1e-4);
  EXPECT_NEAR(NumberAt(d, "/grid/projection_height"), 50, 0);
  std::vector<std::string_view> pipe = {"--model", "4", "-f", "pipeline"};
  pipe.insert(pipe.end(), options.begin(), options.end());
  const RunResult r = RunZerbShift(pipe, csv);
  ASSERT_EQ(r.status, kExitOk) << r.err;
  double horizontal = 0, height = 0;
  PipelineReach(r.out, points, &horizontal, &height);
  EXPECT_LT(horizontal, 1e-4) << r.out;
  EXPECT_LT(height, 1e-4) << r.out;
  // A controller set to another false northing or projection height would apply the same four
  // parameters metres off: the listing names every constant of the projection.
  std::vector<std::string_view> listing = {"--model", "4", "-f", "parameters"};
  listing.insert(listing.end(), options.begin(), options.end());
  const RunResult p = RunZerbShift(listing, csv);
  EXPECT_NE(p.out.find("central meridian 116.8, false easting 50000 m, false northing -4000000 m, "
                       "scale 1, projection height 50 m"),
            std::string::npos)
      << p.out;
}

TEST(PlaneHeights, AQuadricIsRecoveredAndHasNoPipeline) {
  Truth t;
  t.c[3] = 0.0004;  // m/km^2: 4 cm of curvature over 10 km
  t.c[4] = -0.0002;
  t.c[5] = 0.0003;
  const std::vector<SitePoint> points = Site(t, 14, 0, 9);
  const std::string csv = Table(points);
  const rapidjson::Document d = Json({"--height-fit", "auto"}, csv);
  EXPECT_EQ(TextAt(d, "/height_fit/surface"), "quadric");
  const double rn = NumberAt(d, "/height_fit/reference_point/north");
  const double re = NumberAt(d, "/height_fit/reference_point/east");
  const char* keys[6] = {"a0", "an", "ae", "ann", "ane", "aee"};
  double c[6];
  for (int k = 0; k < 6; ++k)
    c[k] = NumberAt(d, std::string("/height_fit/coefficients/") + keys[k]);
  for (const SitePoint& p : points) {
    const double x = (p.north - rn) / 1000, y = (p.east - re) / 1000;
    const double fitted =
        c[0] + (c[1] * x + c[2] * y + c[3] * x * x + c[4] * x * y + c[5] * y * y) / 1000;
    // Heights to 1 micrometre and coefficients to 1e-6 mm/km^2 over 10 km: far inside 0.05 mm.
    EXPECT_NEAR(fitted, t.Anomaly(p.north, p.east), 5e-5) << p.name;
  }
  const RunResult r = RunZerbShift({"--model", "4", "-f", "pipeline"}, csv);
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_NE(r.err.find("quadric"), std::string::npos) << r.err;
}

TEST(PlaneHeights, AutoTakesTheSurfaceTheCountAndTheLayoutAllow) {
  Truth t;
  EXPECT_EQ(TextAt(Json({}, Table(Site(t, 3, 0, 1))), "/height_fit/surface"), "constant");
  EXPECT_EQ(TextAt(Json({}, Table(Site(t, 4, 0, 1))), "/height_fit/surface"), "plane");
  EXPECT_EQ(TextAt(Json({}, Table(Site(t, 9, 0, 1))), "/height_fit/surface"), "plane");
  EXPECT_EQ(TextAt(Json({}, Table(Site(t, 10, 0, 1))), "/height_fit/surface"), "quadric");
  // On a line neither a plane nor a quadric is determined; the similarity still is.
  const rapidjson::Document line = Json({}, Table(Site(t, 6, 0, 1, true)));
  EXPECT_EQ(TextAt(line, "/height_fit/surface"), "constant");
  EXPECT_NE(TextAt(line, "/note").find("nearly on a line"), std::string::npos);
  // Asked for explicitly, too few points are refused.
  const RunResult r =
      RunZerbShift({"--model", "4", "--height-fit", "quadric"}, Table(Site(t, 5, 0, 1)));
  EXPECT_EQ(r.status, kExitNoPoint);
  EXPECT_NE(r.err.find("at least 6 points used vertically"), std::string::npos) << r.err;
}

TEST(PlaneBlunder, OneInHeightOnlyIsFlaggedInHeightAndTheHorizontalFitKeepsThePoint) {
  Truth t;
  std::vector<SitePoint> points = Site(t, 12, 0.003, 21);
  points[4].height += 0.15;  // 50 sigma, in height only
  const rapidjson::Document d = Json({"--height-fit", "plane"}, Table(points));
  for (int i = 0; i < 12; ++i) {
    const std::string at = "/points/" + std::to_string(i);
    EXPECT_EQ(At(d, at + "/height/flagged").GetBool(), i == 4) << i;
    EXPECT_FALSE(At(d, at + "/horizontal/flagged").GetBool()) << i;
    EXPECT_TRUE(At(d, at + "/horizontal/used").GetBool()) << i;
  }
  EXPECT_EQ(NumberAt(d, "/height_fit/points_used"), 11);
  EXPECT_EQ(NumberAt(d, "/horizontal/points_used"), 12);
  // The pipeline carries no report: standard error names the flagged point's line.
  const RunResult r =
      RunZerbShift({"--model", "4", "--height-fit", "plane", "-f", "pipeline"}, Table(points));
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_NE(r.err.find("flagged 0 horizontally and 1 in height (input lines - and 6)"),
            std::string::npos)
      << r.err;
}

TEST(PlaneStatistics, Sigma0AndTheRotationsStandardDeviationAgreeWithMonteCarlo) {
  // 200 sites of 12 points with 5 mm noise: f = 20, so the mean of sigma0^2 has a relative
  // standard deviation of sqrt(2 / 20 / 200) = 2.2 %; 8 % is over three of them. The empirical
  // standard deviation of the rotation from 200 runs is good to 5 %, so 15 % for the ratio.
  const Truth t;
  const double sigma = 0.005;
  double sum_var = 0, sum_rot = 0, sum_rot2 = 0, sum_sd = 0;
  const int runs = 200;
  for (int k = 0; k < runs; ++k) {
    const rapidjson::Document d =
        Json({"--height-fit", "none", "--keep-all"}, Table(Site(t, 12, sigma, 1000 + k)));
    const double s0 = NumberAt(d, "/horizontal/sigma0");
    sum_var += s0 * s0;
    const double rot = NumberAt(d, "/horizontal/rotation_arcseconds/value");
    sum_rot += rot;
    sum_rot2 += rot * rot;
    // The standard deviation the fit reports, with sigma0 taken out: the a-priori one.
    sum_sd += NumberAt(d, "/horizontal/rotation_arcseconds/sd") / s0 * sigma;
  }
  EXPECT_NEAR(sum_var / runs / (sigma * sigma), 1, 0.08);
  const double mean = sum_rot / runs;
  const double empirical = std::sqrt((sum_rot2 / runs - mean * mean) * runs / (runs - 1));
  EXPECT_NEAR(empirical / (sum_sd / runs), 1, 0.15);
  EXPECT_NEAR(mean, t.rotation, 4 * empirical / std::sqrt(runs));
}

TEST(PlaneRoles, ColumnAndOptionsSplitThePointsBetweenTheFits) {
  const Truth t;
  const std::vector<SitePoint> points = Site(t, 8, 0.002, 4);
  const std::vector<std::string> roles = {"平面", "高程", "检核", "", "control", "", "fit", ""};
  const rapidjson::Document d =
      Json({"--height-fit", "constant", "--vertical-only", "P8"}, Table(points, roles));
  EXPECT_TRUE(At(d, "/points/0/height").IsNull());
  EXPECT_TRUE(At(d, "/points/1/horizontal").IsNull());
  EXPECT_TRUE(At(d, "/points/2/horizontal/check").GetBool());
  EXPECT_TRUE(At(d, "/points/2/height/check").GetBool());
  EXPECT_TRUE(At(d, "/points/7/horizontal").IsNull());
  EXPECT_EQ(TextAt(d, "/points/7/role"), "vertical");
  EXPECT_EQ(NumberAt(d, "/horizontal/points_used"), 5);  // 8 less 高程, 检核, P8
  EXPECT_EQ(NumberAt(d, "/height_fit/points_used"), 6);  // 8 less 平面, 检核
}

TEST(PlaneCsv, EveryRowHasTheHeadersFieldsAndAPointOutOfAFitHasThemEmpty) {
  const std::vector<SitePoint> points = Site(Truth(), 6, 0.002, 8);
  const RunResult r = RunZerbShift({"--model", "4", "-f", "csv", "--height-fit", "constant"},
                                   Table(points, {"高程", "平面", "检核", "", "", ""}));
  ASSERT_EQ(r.status, kExitOk) << r.err;
  const auto rows = Rows(r.out);
  ASSERT_EQ(rows.size(), 7u);
  for (const auto& row : rows)
    EXPECT_EQ(row.size(), rows[0].size());
  // name x_projected y_projected vN vE v r T T_crit mdb_N mdb_E flagged vH ...: after line, name.
  EXPECT_EQ(rows[1][4], "");   // P1, vertical only: no vN
  EXPECT_NE(rows[1][13], "");  // but its vH
  EXPECT_NE(rows[2][4], "");   // P2, horizontal only: its vN
  EXPECT_EQ(rows[2][13], "");  // no vH
  EXPECT_EQ(rows[3].back(), "check");
}

TEST(PlaneRoles, AnUnknownRoleIsRefusedNotFitted) {
  const Truth t;
  const std::vector<SitePoint> points = Site(t, 4, 0, 4);
  const RunResult r = RunZerbShift({"--model", "4"}, Table(points, {"", "chek", "", ""}));
  EXPECT_EQ(r.status, kExitRefused);
  EXPECT_NE(r.err.find("line 3"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("not a role"), std::string::npos) << r.err;
  // A check point is checked in both fits: it cannot be kept out of one as well.
  const RunResult both =
      RunZerbShift({"--model", "4", "--check", "P1"}, Table(points, {"平面", "", "", ""}));
  EXPECT_EQ(both.status, kExitRefused);
  EXPECT_NE(both.err.find("two roles"), std::string::npos) << both.err;
  // With heights not fitted, a point used vertically only is in no fit, and the output says so.
  const RunResult none = RunZerbShift({"--model", "4", "--height-fit", "none", "-f", "pipeline"},
                                      Table(points, {"高程", "", "", ""}));
  EXPECT_EQ(none.status, kExitOk);
  EXPECT_NE(none.err.find("in no fit"), std::string::npos) << none.err;
  // A role of the plane model alone, given to the geocentric models.
  const RunResult seven = RunZerbShift({"--model", "7"}, Table(points, {"平面", "", "", ""}));
  EXPECT_EQ(seven.status, kExitRefused);
  EXPECT_NE(seven.err.find("--model 4"), std::string::npos) << seven.err;
}

TEST(PlaneOptions, ThoseOfAnotherModelOrFormAreUsageErrors) {
  const std::string csv = Table(Site(Truth(), 4, 0, 4));
  EXPECT_EQ(RunZerbShift({"--fix-scale"}, csv).status, kExitUsage);
  EXPECT_EQ(RunZerbShift({"--height-fit", "plane"}, csv).status, kExitUsage);
  EXPECT_EQ(RunZerbShift({"-f", "parameters"}, csv).status, kExitUsage);
  EXPECT_EQ(RunZerbShift({"--model", "4", "-f", "towgs84"}, csv).status, kExitUsage);
  EXPECT_EQ(RunZerbShift({"--model", "4", "-f", "crs-wkt2"}, csv).status, kExitUsage);
  EXPECT_EQ(RunZerbShift({"--model", "4", "--height-fit", "cubic"}, csv).status, kExitUsage);
  EXPECT_EQ(RunZerbShift({"--model", "4", "--convention", "coordinate-frame"}, csv).status,
            kExitUsage);
  const RunResult listing = RunZerbShift({"--model", "4", "-f", "parameters"}, csv);
  EXPECT_EQ(listing.status, kExitOk) << listing.err;
  EXPECT_NE(listing.out.find("0°00′07.2"), std::string::npos) << listing.out;
}

// A test statistic that fills its column after a point's "-" redundancy was printed against it,
// and read as one negative number ("-962193.19"): every cell keeps a blank before it.
TEST(PlaneReport, AValueFillingItsColumnIsNotGluedToTheOneBefore) {
  const RunResult r = RunZerbShift({"--model", "4", "--check", "GP03"}, kReadmePoints);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::size_t at = r.out.find("GP04");
  ASSERT_NE(at, std::string::npos) << r.out;
  std::istringstream row(r.out.substr(r.out.rfind('\n', at) + 1, at - r.out.rfind('\n', at) - 1));
  std::vector<std::string> cells;
  for (std::string cell; row >> cell;)
    cells.push_back(cell);
  // line, vN, vE, v, r, T, MDB, then the height fit's vH, r, T, MDB.
  ASSERT_EQ(cells.size(), 11u) << r.out;
  EXPECT_EQ(cells[4], "-");
  EXPECT_GT(std::stod(cells[5]), 1000);  // the 0.7 m blunder's test, far beyond its critical value
}

// The rotation and the window's latitudes and longitudes in degrees, minutes and seconds: seconds
// that round up to 60 carry into the minutes and degrees instead of being written as 60.
TEST(PlaneDms, SecondsThatRoundUpCarryIntoTheMinutes) {
  EXPECT_EQ(Dms(59.9999996), "0°01′00.000000″");
  EXPECT_EQ(Dms(-(3600 * 40 - 0.0000004)), "-40°00′00.000000″");
  EXPECT_EQ(Dms(143684.442), "39°54′44.442000″");  // 39:54:44.442, the README's GP01
  EXPECT_EQ(Dms(12.345678), "0°00′12.345678″");
  EXPECT_EQ(Dms(-0.0000001), "0°00′00.000000″");  // no sign on what rounds to nothing
}

}  // namespace
}  // namespace zerb::test
