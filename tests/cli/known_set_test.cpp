// The whole computation on a set whose answer is known: 20 WGS-84 points carried to the grid by
// PROJ with a known translation, plus one point with a 5 m blunder in its northing. zerb-shift
// must find the translation and flag exactly the bad point, and every export, read back by PROJ,
// must give the mean of the good points.
#include <gtest/gtest.h>
#include <proj.h>

#include <cstdio>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "tests/cli/support.h"

namespace zerb::test {
namespace {

// The translation WGS-84 minus Krassovsky (metres) that the set is made with.
constexpr double kTrueDx = 15.8, kTrueDy = -130.4, kTrueDz = -84.9;

// The table of count WGS-84 points over latitudes 25 to 45 degrees within 2 degrees of meridian
// L0 (the same in every run), carried by PROJ through the translation above onto the Krassovsky
// grid, with a 5 m blunder in the northing of point blunder. Degrees to 10 places (0.01 mm).
std::string KnownSetCsv(int count, int L0, int blunder) {
  char text[512];
  std::snprintf(text, sizeof text,
                "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                "+step +proj=cart +ellps=WGS84 +step +proj=helmert +x=%.17g +y=%.17g +z=%.17g "
                "+step +inv +proj=cart +ellps=krass "
                "+step +proj=tmerc +ellps=krass +lon_0=%d +x_0=500000 +k=1",
                -kTrueDx, -kTrueDy, -kTrueDz, L0);
  PJ* grid = proj_create(nullptr, text);
  std::mt19937_64 random(20261208);
  std::uniform_real_distribution<double> lat(25.0, 45.0), lon(-2.0, 2.0), height(0.0, 3000.0);
  std::string csv = "name,x,y,h,L0,B,L,H\n";
  for (int i = 0; i < count && grid != nullptr; ++i) {
    const double B = lat(random), L = L0 + lon(random), H = height(random);
    // tmerc gives the easting first; the grid's x is the northing.
    const PJ_COORD c = proj_trans(grid, PJ_FWD, proj_coord(L, B, H, 0));
    std::snprintf(text, sizeof text, "P%02d,%.4f,%.4f,%.4f,%d,%.10f,%.10f,%.4f\n", i + 1,
                  c.xyz.y + (i == blunder ? 5.0 : 0.0), c.xyz.x, c.xyz.z, L0, B, L, H);
    csv += text;
  }
  proj_destroy(grid);
  return csv;
}

// The inverse Gauss-Krueger series is good to 1e-4 arc-second (3 mm) within 3 degrees of the
// central meridian; PROJ's transverse Mercator is better than 0.1 mm there, and the table
// carries 0.1 mm. A point's shift may therefore be off by a few millimetres, the mean by less.
constexpr double kPointTolerance = 0.005;
constexpr double kMeanTolerance = 0.003;
// The exports print 0.1 mm, within half of that of the exact mean (and 10 nm for the order of
// summation and for the rounding of geocentric coordinates): a millimetre is never lost.
constexpr double kPrinted = 0.5e-4 + 1e-8;
constexpr int kBad = 10;  // the blunder, on input line 12

class KnownSet : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    csv_ = KnownSetCsv(21, 117, kBad);
    rows_ = Rows(Run({"-f", "csv"}));
    for (const auto& row : rows_) {
      for (int i = 0; i < 3 && row.size() == 10 && row[9] == "0"; ++i)
        mean_[i] += Number(row[2 + i]) / 20;  // from the good points' shifts as printed
    }
  }
  // The report without its final newline.
  static std::string Run(const std::vector<std::string_view>& args) {
    RunResult r = RunZerbShift(args, csv_);
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out.substr(0, r.out.find_last_not_of('\n') + 1);
  }
  static inline std::string csv_;
  static inline std::vector<std::vector<std::string>> rows_;
  static inline double mean_[3] = {};
};

TEST_F(KnownSet, FindsTheTranslationAndFlagsTheBadPoint) {
  ASSERT_EQ(rows_.size(), 1u + 21u + 2u);
  for (int i = 0; i < 21; ++i) {
    const auto& row = rows_[i + 1];
    ASSERT_EQ(row.size(), 10u);
    SCOPED_TRACE(row[1]);
    EXPECT_EQ(row[0], std::to_string(i + 2));
    EXPECT_EQ(row[9], i == kBad ? "1" : "0");
    if (i == kBad) {
      EXPECT_NEAR(Number(row[8]), 5.0, 0.01);  // the residual shows the blunder
      continue;
    }
    EXPECT_NEAR(Number(row[2]), kTrueDx, kPointTolerance);
    EXPECT_NEAR(Number(row[3]), kTrueDy, kPointTolerance);
    EXPECT_NEAR(Number(row[4]), kTrueDz, kPointTolerance);
    EXPECT_LT(Number(row[8]), kPointTolerance);
  }
  const auto& mean = rows_[22];
  EXPECT_EQ(mean[0], "mean");
  EXPECT_NEAR(Number(mean[2]), kTrueDx, kMeanTolerance);
  EXPECT_NEAR(Number(mean[3]), kTrueDy, kMeanTolerance);
  EXPECT_NEAR(Number(mean[4]), kTrueDz, kMeanTolerance);
  EXPECT_EQ(rows_[23][0], "rms");
  EXPECT_LT(Number(rows_[23][8]), kPointTolerance);
}

TEST_F(KnownSet, ReportListsTheBadPointAndTheMeanBeforeAndAfter) {
  struct Case {
    std::vector<std::string_view> args;
    std::vector<std::string> says;
  };
  const Case cases[] = {
      {{},
       {"mean of all 21 points", "flagged: line 12 (P11)", "mean of 20 points", "P11  (flagged)"}},
      {{"--keep-all", "-f", "json"},
       {"\"used\": 21", "\"flagged\": [{\"line\": 12, \"name\": \"P11\"",
        "\"flagged_kept\": true"}},
      // A limit of 1 m still catches the 5 m blunder; one of 10 m lets it through.
      {{"--max-residual", "1", "-f", "json"}, {"\"used\": 20"}},
      {{"--max-residual=10", "-f", "json"}, {"\"used\": 21", "\"flagged\": []"}},
  };
  for (const Case& c : cases) {
    const std::string out = Run(c.args);
    for (const std::string& part : c.says)
      EXPECT_NE(out.find(part), std::string::npos) << part << " in\n" << out;
  }
}

TEST_F(KnownSet, Towgs84AndWktGiveProjTheMeanOfTheGoodPoints) {
  const std::string wkt =
      "GEOGCS[\"Krassovsky local\",DATUM[\"local\",SPHEROID[\"Krassowsky 1940\",6378245,298.3]," +
      Run({"-f", "wkt"}) + "],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]";
  const std::string towgs84 = "+proj=longlat +ellps=krass " + Run({"-f", "towgs84"}) + " +type=crs";
  for (const std::string& crs : {towgs84, wkt}) {
    SCOPED_TRACE(crs);
    PJ* bound = proj_create(nullptr, crs.c_str());
    PJ* op = bound != nullptr ? proj_crs_get_coordoperation(nullptr, bound) : nullptr;
    double v[7];
    EXPECT_TRUE(op != nullptr && proj_coordoperation_get_towgs84_values(nullptr, op, v, 7, 1) == 1);
    proj_destroy(op);
    proj_destroy(bound);
    if (op == nullptr)
      continue;
    for (int i = 0; i < 3; ++i)
      EXPECT_NEAR(v[i], mean_[i], kPrinted);
    for (int i = 3; i < 7; ++i)
      EXPECT_EQ(v[i], 0.0);  // a translation only
  }
}

// As a step of a pipeline, the helmert step must move any geocentric point by the mean, and by
// nothing else: a rotation or a scale would move a point this far from the centre by metres.
TEST_F(KnownSet, HelmertStepIsATranslationByTheMean) {
  const std::string pipeline = "+proj=pipeline +step " + Run({"-f", "proj"});
  PJ* p = proj_create(nullptr, pipeline.c_str());
  ASSERT_NE(p, nullptr) << pipeline;
  const PJ_COORD c = proj_trans(p, PJ_FWD, proj_coord(-2.2e6, 4.9e6, 3.5e6, 0));
  proj_destroy(p);
  EXPECT_NEAR(c.xyz.x + 2.2e6, mean_[0], kPrinted);
  EXPECT_NEAR(c.xyz.y - 4.9e6, mean_[1], kPrinted);
  EXPECT_NEAR(c.xyz.z - 3.5e6, mean_[2], kPrinted);
}

// Whether text is one JSON value, nested as JSON demands: strings and scalars become tokens, and
// the innermost arrays and objects are reduced to a value until one value is left or none fits.
bool IsJson(const std::string& text) {
  std::string t =
      std::regex_replace(text, std::regex(R"("([^"\\\x00-\x1f]|\\["\\/bfnrtu])*")"), "S");
  t = std::regex_replace(t, std::regex(R"(-?(0|[1-9]\d*)(\.\d+)?([eE][+-]?\d+)?|true|false|null)"),
                         "V");
  t = std::regex_replace(std::regex_replace(t, std::regex(R"(\s+)"), ""), std::regex("S(?!:)"),
                         "V");
  const std::regex innermost(R"(\[(V(,V)*)?\]|\{(S:V(,S:V)*)?\})");
  for (std::string before; before != t;) {
    before = t;
    t = std::regex_replace(t, innermost, "V");
  }
  return t == "V";
}

TEST_F(KnownSet, JsonReportIsWellFormedAndEscapesText) {
  const std::string json = Run({"-f", "json"});
  EXPECT_TRUE(IsJson(json)) << json;
  EXPECT_NE(json.find("\"towgs84\": \"" + Run({"-f", "towgs84"}) + "\""), std::string::npos);
  for (const char* broken : {"[1,]", "{\"a\" 1}", "{\"a\":1", "[\"\t\"]", "[01]"})
    EXPECT_FALSE(IsJson(broken)) << broken;  // the check itself refuses what is no JSON

  const RunResult odd =
      RunZerbShift({"-f", "json"},
                   "id,x,y,h,L0,B,L,H,remark\nA\tB,3380000,500000,10,117,30:30:00,117:00:00,10,"
                   "\"say \"\"hi\"\" \\ back\"\n");
  ASSERT_EQ(odd.status, 0) << odd.err;
  EXPECT_TRUE(IsJson(odd.out)) << odd.out;
  EXPECT_NE(odd.out.find("\"name\": \"A\\u0009B\""), std::string::npos) << odd.out;
  EXPECT_NE(odd.out.find("\"remark\": \"say \\\"hi\\\" \\\\ back\""), std::string::npos) << odd.out;
}

}  // namespace
}  // namespace zerb::test
