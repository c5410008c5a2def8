// The seven-parameter fit through the program: common points carried by PROJ through a known
// Bursa-Wolf transformation, fitted back, and every export applied by PROJ to the grid points; the
// statistics (F test of the extra parameters, data snooping, check points) on sets with seeded
// Gaussian noise and a blunder.
#include <gtest/gtest.h>
#include <proj.h>
#include <proj_experimental.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/support.h"

namespace zerb::test {
namespace {

// Krassovsky to WGS-84, position vector: metres, arc-seconds, ppm.
struct Bursa {
  double t[3], r[3], s;
};
constexpr Bursa kSeven = {{15.8, -130.4, -84.9}, {0.35, -0.62, 0.94}, 0.41};
constexpr Bursa kThree = {{15.8, -130.4, -84.9}, {0, 0, 0}, 0};

// A square area of side km centred at latitude lat and lon_offset degrees east of meridian L0.
struct Area {
  double lat, lon_offset, km;
  int L0, count;
};
constexpr Area kSmall = {30.5, 1.0, 50, 117, 24};
constexpr Area kLarge = {40.0, -1.0, 300, 105, 36};

struct Point {
  double x, y, h, B, L, H;
};

// WGS-84 points spread evenly (seeded) over the area, carried by PROJ through the inverse of
// shift onto the Krassovsky grid; noise metres of Gaussian noise in x, y and h, and a blunder
// of blunder_m in the northing of point blunder.
std::vector<Point> Make(const Bursa& shift, const Area& a, double noise = 0, int blunder = -1,
                        double blunder_m = 0) {
  char text[640];
  std::snprintf(text, sizeof text,
                "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                "+step +proj=cart +ellps=WGS84 +step +inv +proj=helmert +x=%.17g +y=%.17g "
                "+z=%.17g +rx=%.17g +ry=%.17g +rz=%.17g +s=%.17g +convention=position_vector "
                "+step +inv +proj=cart +ellps=krass "
                "+step +proj=tmerc +ellps=krass +lon_0=%d +x_0=500000 +k=1",
                shift.t[0], shift.t[1], shift.t[2], shift.r[0], shift.r[1], shift.r[2], shift.s,
                a.L0);
  PJ* grid = proj_create(nullptr, text);
  std::mt19937_64 random(20240611);
  const double half_lat = a.km / 2 / 111.2, half_lon = half_lat / std::cos(a.lat * M_PI / 180);
  std::uniform_real_distribution<double> lat(-half_lat, half_lat), lon(-half_lon, half_lon),
      height(0, 1500);
  std::normal_distribution<double> gauss(0, noise > 0 ? noise : 1);
  std::vector<Point> points;
  for (int i = 0; i < a.count && grid != nullptr; ++i) {
    Point p{0, 0, 0, a.lat + lat(random), a.L0 + a.lon_offset + lon(random), height(random)};
    const PJ_COORD c = proj_trans(grid, PJ_FWD, proj_coord(p.L, p.B, p.H, 0));
    p.x = c.xyz.y + (i == blunder ? blunder_m : 0);
    p.y = c.xyz.x;
    p.h = c.xyz.z;
    if (noise > 0) {
      p.x += gauss(random);
      p.y += gauss(random);
      p.h += gauss(random);
    }
    points.push_back(p);
  }
  proj_destroy(grid);
  return points;
}

// The table: 0.1 mm in the grid, degrees to 10 places (0.01 mm); a role column when asked.
std::string Csv(const std::vector<Point>& points, int L0, const std::vector<int>& checks = {},
                bool skip_checks = false) {
  const bool role = !checks.empty() && !skip_checks;
  std::string csv = role ? "name,x,y,h,L0,B,L,H,role\n" : "name,x,y,h,L0,B,L,H\n";
  for (std::size_t i = 0; i < points.size(); ++i) {
    const bool check = std::find(checks.begin(), checks.end(), int(i)) != checks.end();
    if (check && skip_checks)
      continue;
    const Point& p = points[i];
    char line[160];
    std::snprintf(line, sizeof line, "P%02zu,%.4f,%.4f,%.4f,%d,%.10f,%.10f,%.4f", i + 1, p.x, p.y,
                  p.h, L0, p.B, p.L, p.H);
    csv += line;
    csv += role ? (check ? ",check\n" : ",fit\n") : "\n";
  }
  return csv;
}

// The program's output on a table, status 0 asked for.
std::string Report(const std::vector<std::string_view>& args, const std::string& csv) {
  const RunResult r = RunZerbShift(args, csv);
  EXPECT_EQ(r.status, 0) << r.err;
  return r.out.substr(0, r.out.find_last_not_of('\n') + 1);
}

// The program's JSON report on a table, status 0 asked for, parsed.
rapidjson::Document Json(const std::vector<std::string_view>& args, const std::string& csv) {
  const std::string text = Report(args, csv);
  rapidjson::Document json;
  EXPECT_TRUE(ParseJson(text, &json)) << text;
  return json;
}
double Param(const rapidjson::Value& json, const std::string& name, const std::string& field) {
  return NumberAt(json, "/parameters/" + name + "/" + field);
}
// Where key of the report's point i is.
std::string OfPoint(std::size_t i, const char* key) {
  return "/points/" + std::to_string(i) + "/" + key;
}
bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Distance in 3D (metres) between a WGS-84 longitude, latitude (degrees), height and a point.
double Miss(const PJ_COORD& lon_lat_h, const Point& p) {
  PJ* cart = proj_create(nullptr,
                         "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                         "+step +proj=cart +ellps=WGS84");
  const PJ_COORD a = proj_trans(cart, PJ_FWD, lon_lat_h);
  const PJ_COORD b = proj_trans(cart, PJ_FWD, proj_coord(p.L, p.B, p.H, 0));
  proj_destroy(cart);
  return std::hypot(a.xyz.x - b.xyz.x, a.xyz.y - b.xyz.y, a.xyz.z - b.xyz.z);
}

// The fit takes each grid point to Krassovsky latitude and longitude with the dialog's inverse
// Gauss-Krueger series (bit for bit), whose footpoint latitude is 0.34 mm per 1000 km of
// northing off; PROJ's transverse Mercator is exact, so a point carried by PROJ with the fitted
// shift lands that far north or south of its WGS-84 point: 1.57 mm at most at latitudes up to
// 45 degrees within 2.5 degrees of L0 (the table of points/projection_domain.h), plus under
// 0.1 mm of the exports' rounding (0.1 mm, 1e-6 arc-second, 1e-6 ppm). A wrong convention or
// sign is metres off.
constexpr double kApplied = 0.0017;

// A grid point through op: easting, northing, h in; longitude, latitude (degrees), h out.
double MissThrough(PJ* op, const Point& p) {
  return Miss(proj_trans(op, PJ_FWD, proj_coord(p.y, p.x, p.h, 0)), p);
}

class SevenParameters : public ::testing::TestWithParam<Area> {};

// The worst 3D miss of the grid points carried by PROJ's bound CRS built from the +towgs84 of a
// fit with the given projection.
double WorstTowgs84Miss(const Area& a, std::string_view projection = "dialog") {
  const auto points = Make(kSeven, a);
  const std::string towgs84 =
      Report({"--model", "7", "--projection", projection, "-f", "towgs84"}, Csv(points, a.L0));
  const std::string tm =
      "+proj=tmerc +ellps=krass +lon_0=" + std::to_string(a.L0) + " +x_0=500000 +k=1";
  PJ* krass =
      proj_create(nullptr, ("+proj=longlat +ellps=krass " + towgs84 + " +type=crs").c_str());
  PJ* krass3d = proj_crs_promote_to_3D(nullptr, nullptr, krass);
  PJ* wgs84 = proj_create(nullptr, "EPSG:4979");
  PJ* raw = proj_create_crs_to_crs_from_pj(nullptr, krass3d, wgs84, nullptr, nullptr);
  PJ* op = proj_normalize_for_visualization(nullptr, raw);
  PJ* inverse_grid = proj_create(nullptr, ("+proj=pipeline +step +inv " + tm +
                                           " +step +proj=unitconvert +xy_in=rad +xy_out=deg")
                                              .c_str());
  double worst = op == nullptr ? INFINITY : 0;
  for (const Point& p : points) {
    const PJ_COORD geo = proj_trans(inverse_grid, PJ_FWD, proj_coord(p.y, p.x, p.h, 0));
    worst = std::max(worst, op == nullptr ? worst : Miss(proj_trans(op, PJ_FWD, geo), p));
  }
  for (PJ* pj : {krass, krass3d, wgs84, raw, op, inverse_grid})
    proj_destroy(pj);
  return worst;
}

TEST_P(SevenParameters, Towgs84PutsEveryGridPointWithinTheSeriesError) {
  EXPECT_LT(WorstTowgs84Miss(GetParam()), kApplied);
}

// Fitted through the projection PROJ applies, the export leaves only the rounding of the data and
// of the exported parameters: 0.07 mm seen over both areas.
TEST_P(SevenParameters, Towgs84OfAnExactProjectionFitPutsEveryGridPointWithinATenthOfAMillimetre) {
  EXPECT_LT(WorstTowgs84Miss(GetParam(), "exact"), 0.0001);
}

TEST_P(SevenParameters, CoordinateFrameHelmertStepPutsEveryGridPointWithinTheSeriesError) {
  const Area a = GetParam();
  const auto points = Make(kSeven, a);
  const std::string helmert =
      Report({"--model", "7", "--convention", "coordinate-frame", "-f", "proj"}, Csv(points, a.L0));
  EXPECT_TRUE(Has(helmert, "+convention=coordinate_frame")) << helmert;
  const std::string pipeline =
      "+proj=pipeline +step +inv +proj=tmerc +ellps=krass +lon_0=" + std::to_string(a.L0) +
      " +x_0=500000 +k=1 +step +proj=cart +ellps=krass +step " + helmert +
      " +step +inv +proj=cart +ellps=WGS84 "
      "+step +proj=unitconvert +xy_in=rad +xy_out=deg";
  PJ* op = proj_create(nullptr, pipeline.c_str());
  ASSERT_NE(op, nullptr) << pipeline;
  for (const Point& p : points)
    EXPECT_LT(MissThrough(op, p), kApplied) << p.x << " " << p.y;
  proj_destroy(op);
}

TEST_P(SevenParameters, RecoversRotationsAndScaleAndJustifiesThem) {
  const Area a = GetParam();
  const rapidjson::Document json = Json({"--model", "7", "-f", "json"}, Csv(Make(kSeven, a), a.L0));
  // The leftover of the series (a few tenths of a millimetre, smooth) over half the area's side
  // is what can tilt or stretch the fit: 1 mm over half the side bounds a rotation (radians) and
  // the scale; 3 sd on top in case the estimate is the looser.
  const double bound = 0.001 / (a.km * 500);
  const char* names[4] = {"rx", "ry", "rz", "s"};
  for (int k = 0; k < 4; ++k) {
    const double truth = k < 3 ? kSeven.r[k] : kSeven.s;
    const double unit = k < 3 ? bound * 180 / M_PI * 3600 : bound * 1e6;
    const double sd = Param(json, names[k], "sd");
    EXPECT_NEAR(Param(json, names[k], "unrounded"), truth, unit + 3 * sd) << names[k];
  }
  // The data carry 0.1 mm of rounding and the smooth leftover of the series only.
  EXPECT_LT(NumberAt(json, "/sigma0"), 0.001);
  EXPECT_TRUE(At(json, "/extra_parameters_justified").IsTrue());
}

INSTANTIATE_TEST_SUITE_P(Areas, SevenParameters, ::testing::Values(kSmall, kLarge),
                         [](const auto& test) { return test.index == 0 ? "km50" : "km300"; });

// Three-parameter data with 1 cm of noise: the rotations and scale explain nothing the noise
// does not, and the F test must say so.
TEST(SevenParameterStatistics, ExtraParametersNotJustifiedOnThreeParameterData) {
  const rapidjson::Document json =
      Json({"--model", "7", "-f", "json"}, Csv(Make(kThree, kSmall, 0.01), 117));
  EXPECT_TRUE(At(json, "/extra_parameters_justified").IsFalse());
}

// The seven rows of the text report line up: each "+-" in one column whatever the name's and the
// unit's lengths (the scale's row was one column off).
TEST(SevenParameterReport, ParameterRowsLineUp) {
  const std::string text = Report({"--model", "7"}, Csv(Make(kSeven, kSmall), kSmall.L0));
  std::istringstream lines(text);
  std::vector<std::size_t> columns;
  for (std::string line; std::getline(lines, line);) {
    if (line.size() > 6 && line[5] == '=' && line.find("+- ") != std::string::npos)
      columns.push_back(line.find("+- "));
  }
  ASSERT_EQ(columns.size(), 7u) << text;
  for (std::size_t c : columns)
    EXPECT_EQ(c, columns[0]) << text;
}

// A 0.25 m blunder is about 25 sigma on 30 points whose redundancy numbers are near 0.9: data
// snooping must find it in either model, with the variance estimated or given.
TEST(SevenParameterStatistics, BlunderFlaggedAndLeftOut) {
  constexpr int kBlunder = 13;
  const Area area = {34.0, 0.5, 40, 111, 30};
  const std::string csv = Csv(Make(kThree, area, 0.01, kBlunder, 0.25), area.L0);
  const std::vector<std::vector<std::string_view>> cases = {
      {"--model", "3", "-f", "json"},
      {"--model", "7", "-f", "json"},
      {"--model", "7", "--sigma", "0.01", "-f", "json"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(std::string(args[1]) + (args.size() > 4 ? " --sigma" : ""));
    const rapidjson::Document json = Json(args, csv);
    ASSERT_EQ(At(json, "/points").Size(), 30u);
    for (int i = 0; i < 30; ++i) {
      const bool bad = i == kBlunder;
      const rapidjson::Value& flagged = At(json, OfPoint(i, "flagged"));
      const rapidjson::Value& used = At(json, OfPoint(i, "used"));
      ASSERT_TRUE(flagged.IsBool() && used.IsBool()) << i;
      EXPECT_EQ(flagged.GetBool(), bad) << i;
      EXPECT_EQ(used.GetBool(), !bad) << i;
    }
    // With 29 points x 3 coordinates less 3 or 7 parameters (80 to 84 degrees of freedom) the
    // estimate of the 1 cm noise scatters by 1/sqrt(2 dof), 8 %: 30 % is over 3.5 of those, and
    // the series' millimetre leftover adds under 1 %. Given 1 cm a priori, the estimate is the
    // same and sigma0, then the ratio to the given 1 cm, near 1.
    const double expected = args.size() > 4 ? 1.0 : 0.01;
    EXPECT_NEAR(NumberAt(json, "/sigma0"), expected, 0.3 * expected);
  }
}

// Check points: outside the fit, compared with it; removing them changes no parameter.
TEST(SevenParameterChecks, CheckPointsStayOutOfTheFit) {
  const auto points = Make(kSeven, kSmall);
  const std::vector<int> checks = {2, 9, 17};
  const rapidjson::Document by_option =
      Json({"--model", "7", "-f", "json", "--check", "P03,P10,P18"}, Csv(points, 117));
  const rapidjson::Document by_role =
      Json({"--model", "7", "-f", "json"}, Csv(points, 117, checks));
  const rapidjson::Document without =
      Json({"--model", "7", "-f", "json"}, Csv(points, 117, checks, true));
  for (const rapidjson::Document* json : {&by_option, &by_role}) {
    ASSERT_EQ(At(*json, "/points").Size(), points.size());
    for (int i : checks) {
      SCOPED_TRACE(i);
      EXPECT_TRUE(At(*json, OfPoint(i, "used")).IsFalse());
      EXPECT_TRUE(At(*json, OfPoint(i, "check")).IsTrue());
      // Exact data: the check point misses by the series' leftover, tenths of a millimetre.
      EXPECT_LT(NumberAt(*json, OfPoint(i, "v")), 0.005);
    }
    // The same points in the same order make the same normal equations; only the centring
    // over other points may change the last bits: a micrometre, a millionth of an arc-second.
    for (const char* name : {"tx", "ty", "tz", "rx", "ry", "rz", "s"})
      EXPECT_NEAR(Param(*json, name, "unrounded"), Param(without, name, "unrounded"), 1e-6) << name;
  }
}

// The correlation matrix of a report: from the JSON, or parsed from the text report's table.
using Correlations = std::vector<std::vector<double>>;
Correlations JsonCorrelations(const rapidjson::Value& json) {
  Correlations c;
  for (int r = 0; r < 7; ++r) {
    c.emplace_back();
    for (int k = 0; k < 7; ++k)
      c.back().push_back(
          NumberAt(json, "/correlation/" + std::to_string(r) + "/" + std::to_string(k)));
  }
  return c;
}
Correlations TextCorrelations(const std::string& text) {
  Correlations c;
  std::size_t at = text.find("correlations:");
  at = text.find('\n', text.find('\n', at) + 1);  // past the row of names
  for (int r = 0; r < 7 && at != std::string::npos; ++r) {
    const std::string row = text.substr(at + 1, text.find('\n', at + 1) - at - 1);
    c.emplace_back();
    for (std::size_t p = row.find_first_of("-0123456789"); p != std::string::npos;
         p = row.find_first_of("-0123456789", row.find(' ', p))) {
      c.back().push_back(Number(row.substr(p, row.find(' ', p) - p)));
    }
    at = text.find('\n', at + 1);
  }
  return c;
}

// About the Earth's centre, a rotation r moves the points' centroid c by r x c, which the
// translation must give back: T = d(c) + c x r, so over a small area T hangs on r along the
// entries of the cross-product matrix of c (at 30 N, 118 E: c_x < 0, c_y > 0, c_z > 0). In the
// position-vector convention each correlation of a translation with a rotation has the sign of
// its entry; in the coordinate-frame one, whose rotations are the negated ones, the opposite
// sign; the other correlations are those of the same parameters. Both reports, text and JSON.
TEST(SevenParameterCorrelations, FollowTheLeverArmInEitherConvention) {
  const std::string csv = Csv(Make(kSeven, kSmall, 0.01), kSmall.L0);
  // d T_i / d r_k: rows tx, ty, tz; columns rx, ry, rz; 0 on the diagonal, where c x r has none.
  const int lever[3][3] = {{0, -1, +1}, {+1, 0, +1}, {-1, -1, 0}};
  const Correlations base = JsonCorrelations(Json({"--model", "7", "-f", "json"}, csv));
  for (const char* convention : {"position-vector", "coordinate-frame"}) {
    SCOPED_TRACE(convention);
    const int flip = std::string(convention) == "coordinate-frame" ? -1 : 1;
    const std::vector<std::string_view> args = {"--model", "7", "--convention", convention};
    std::vector<std::string_view> json_args = args;
    json_args.insert(json_args.end(), {"-f", "json"});
    const rapidjson::Document json = Json(json_args, csv);
    const std::string text = Report(args, csv);
    for (const Correlations& c : {JsonCorrelations(json), TextCorrelations(text)}) {
      ASSERT_EQ(c.size(), 7u) << text;
      for (int i = 0; i < 7; ++i) {
        ASSERT_EQ(c[i].size(), 7u) << text;
        for (int k = 0; k < 7; ++k) {
          const bool mixed = (i >= 3 && i < 6) != (k >= 3 && k < 6);
          // The text prints three decimals: 0.0005 of rounding.
          EXPECT_NEAR(c[i][k], (mixed ? flip : 1) * base[i][k], 0.0006) << i << ", " << k;
        }
      }
      for (int t = 0; t < 3; ++t) {
        for (int r = 0; r < 3; ++r) {
          if (lever[t][r] != 0) {
            // Well away from 0 for these points: the sign is the geometry's, not chance.
            EXPECT_GT(flip * lever[t][r] * c[t][3 + r], 0.1) << t << ", " << r;
          }
        }
      }
    }
  }
}

// --sigma H,V gives one horizontal coordinate the accuracy H and the height V. Points with 1 cm
// of Gaussian noise in x and y and 5 cm in h, given as --sigma 0.01,0.05: sigma0 of unit weight
// is 1 within its scatter, 1 / sqrt(2 f) = 8.5 % for 24 points (f = 69), and the global test
// accepts; taken the other way round the heights would be five times their sigma, sigma0 near 3.
TEST(AprioriAccuracy, HorizontalAndVerticalAsGiven) {
  std::vector<Point> points = Make(kSeven, kSmall);
  std::mt19937_64 random(5);
  std::normal_distribution<double> gauss(0, 1);
  for (Point& p : points) {
    p.x += 0.01 * gauss(random);
    p.y += 0.01 * gauss(random);
    p.h += 0.05 * gauss(random);
  }
  const rapidjson::Document json =
      Json({"--model", "7", "--sigma", "0.01,0.05", "-f", "json"}, Csv(points, kSmall.L0));
  EXPECT_NEAR(NumberAt(json, "/sigma0"), 1, 0.3);
  EXPECT_TRUE(At(json, "/global_test/rejected").IsFalse());
  EXPECT_EQ(NumberAt(json, "/a_priori/horizontal"), 0.01);
  EXPECT_EQ(NumberAt(json, "/a_priori/vertical"), 0.05);
}

TEST(SevenParameterRefusals, TooFewPointsAndCollinearPoints) {
  Area two = kSmall;
  two.count = 2;
  const RunResult r = RunZerbShift({"--model", "7"}, Csv(Make(kSeven, two), 117));
  EXPECT_EQ(r.status, 3);
  EXPECT_FALSE(r.err.empty());
  // Eight points along one meridian over 50 km: their spread across the line is the Earth's
  // curvature, some metres against kilometres along it.
  auto line = Make(kSeven, {30.5, 1.0, 50, 117, 8});
  for (Point& p : line) {
    p.L = 118.0;
    p.H = 100;
  }
  PJ* grid = proj_create(nullptr,
                         "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                         "+step +proj=cart +ellps=WGS84 +step +inv +proj=helmert +x=15.8 "
                         "+y=-130.4 +z=-84.9 +step +inv +proj=cart +ellps=krass "
                         "+step +proj=tmerc +ellps=krass +lon_0=117 +x_0=500000 +k=1");
  for (Point& p : line) {
    const PJ_COORD c = proj_trans(grid, PJ_FWD, proj_coord(p.L, p.B, p.H, 0));
    p.x = c.xyz.y;
    p.y = c.xyz.x;
    p.h = c.xyz.z;
  }
  proj_destroy(grid);
  const RunResult collinear = RunZerbShift({"--model", "7", "-f", "json"}, Csv(line, 117));
  rapidjson::Document json;
  ASSERT_TRUE(ParseJson(collinear.out, &json)) << collinear.err;
  bool said = false;
  for (rapidjson::SizeType k = 0; k < At(json, "/warnings").Size(); ++k)
    said = said || Has(TextAt(json, "/warnings/" + std::to_string(k)), "collinear");
  EXPECT_TRUE(said) << collinear.out;
}

TEST(SevenParameterPlot, WritesAnSvgThatRenders) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("zerb_seven_plot_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string svg = (dir / "out.svg").string(), png = (dir / "out.png").string();
  std::filesystem::remove(svg);
  Report({"--model", "7", "--plot", svg}, Csv(Make(kSeven, kSmall, 0.01), 117));
  ASSERT_TRUE(std::filesystem::exists(svg));
  EXPECT_GT(std::filesystem::file_size(svg), 0u);
  if (std::system("command -v rsvg-convert > /dev/null") == 0) {
    const std::string command = "rsvg-convert -o '" + png + "' '" + svg + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_GT(std::filesystem::file_size(png), 0u);
  }
  std::filesystem::remove_all(dir);
}

// The complete definitions, each read by PROJ; the 3D ones carry the grid points to WGS 84.
TEST(SevenParameterDefinitions, ProjReadsEachAndTheGridLandsWithinTheSeriesError) {
  const auto points = Make(kSeven, kSmall);
  const std::string csv = Csv(points, kSmall.L0);
  PJ* wgs84 = proj_create(nullptr, "EPSG:4979");
  for (const char* form : {"crs-proj", "crs-wkt2", "pipeline"}) {
    SCOPED_TRACE(form);
    const std::string text = Report({"--model", "7", "-f", form}, csv);
    PJ* pj = proj_create(nullptr, text.c_str());
    ASSERT_NE(pj, nullptr) << text;
    PJ* op = nullptr;
    if (std::string(form) == "crs-wkt2") {
      PJ* raw = proj_create_crs_to_crs_from_pj(nullptr, pj, wgs84, nullptr, nullptr);
      op = proj_normalize_for_visualization(nullptr, raw);
      proj_destroy(raw);
    } else if (std::string(form) == "pipeline") {
      op = proj_clone(nullptr, pj);
    } else {
      EXPECT_EQ(proj_get_type(pj), PJ_TYPE_BOUND_CRS);
    }
    for (const Point& p : points) {
      if (op != nullptr) {
        EXPECT_LT(MissThrough(op, p), kApplied) << p.x << " " << p.y;
      }
    }
    EXPECT_EQ(op == nullptr, std::string(form) == "crs-proj");
    proj_destroy(op);
    proj_destroy(pj);
  }
  proj_destroy(wgs84);
}

}  // namespace
}  // namespace zerb::test
