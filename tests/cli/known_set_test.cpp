// The whole computation on a set whose answer is known: 20 WGS-84 points carried to the grid by
// PROJ with a known translation, plus one point with a 5 m blunder in its northing. zerb-shift
// must find the translation and flag exactly the bad point, and every export, read back by PROJ,
// must give the mean of the good points.
#include <gtest/gtest.h>
#include <proj.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "tests/cli/support.h"

namespace zerb::test {
namespace {

// The inverse Gauss-Krueger series is good to 1e-4 arc-second (3 mm) within 3 degrees of the
// central meridian; PROJ's transverse Mercator is better than 0.1 mm there, and the table
// carries 0.1 mm. A point's shift may therefore be off by a few millimetres, the mean by less.
constexpr double kPointTolerance = 0.005;
constexpr double kMeanTolerance = 0.003;
constexpr std::size_t kBad = 10;  // the blunder, on input line 12

class KnownSet : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    points_ = MakeKnownSet(21, 117);
    points_.at(kBad).x += 5.0;
    csv_ = ToCsv(points_, 117);
  }
  static RunResult Run(const std::vector<std::string_view>& args) {
    RunResult r = RunZerbShift(args, csv_);
    EXPECT_EQ(r.status, 0) << r.err;
    while (!r.out.empty() && r.out.back() == '\n')
      r.out.pop_back();
    return r;
  }
  static inline std::vector<KnownPoint> points_;
  static inline std::string csv_;
};

TEST_F(KnownSet, FindsTheTranslationAndFlagsTheBadPoint) {
  const RunResult r = Run({"--format", "csv"});
  EXPECT_EQ(r.err, "");
  const auto rows = Rows(r.out);
  ASSERT_EQ(rows.size(), 1u + 21u + 2u) << r.out;
  EXPECT_EQ(rows[0], (std::vector<std::string>{"line", "name", "dx", "dy", "dz", "vx", "vy", "vz",
                                               "v", "flagged"}));
  for (std::size_t i = 0; i < 21; ++i) {
    const auto& row = rows[i + 1];
    SCOPED_TRACE(row[1]);
    EXPECT_EQ(row[0], std::to_string(i + 2));
    EXPECT_EQ(row[9], i == kBad ? "1" : "0");
    if (i == kBad) {
      // Its residual shows the 5 m blunder (turned into geocentric axes).
      EXPECT_NEAR(Number(row[8]), 5.0, 0.01);
      continue;
    }
    EXPECT_NEAR(Number(row[2]), kTrueDx, kPointTolerance);
    EXPECT_NEAR(Number(row[3]), kTrueDy, kPointTolerance);
    EXPECT_NEAR(Number(row[4]), kTrueDz, kPointTolerance);
    EXPECT_LT(Number(row[8]), kPointTolerance);
  }
  const auto& mean = rows[22];
  EXPECT_EQ(mean[0], "mean");
  EXPECT_NEAR(Number(mean[2]), kTrueDx, kMeanTolerance);
  EXPECT_NEAR(Number(mean[3]), kTrueDy, kMeanTolerance);
  EXPECT_NEAR(Number(mean[4]), kTrueDz, kMeanTolerance);
  EXPECT_EQ(rows[23][0], "rms");
  EXPECT_LT(Number(rows[23][8]), kPointTolerance);
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
    const RunResult r = Run(c.args);
    for (const std::string& part : c.says)
      EXPECT_NE(r.out.find(part), std::string::npos) << part << " in\n" << r.out;
  }
}

// The TOWGS84 values PROJ holds for a CRS bound to WGS-84.
bool Towgs84Of(const std::string& definition, double values[7]) {
  PJ_CONTEXT* ctx = proj_context_create();
  PJ* crs = proj_create(ctx, definition.c_str());
  bool ok = crs != nullptr && proj_get_type(crs) == PJ_TYPE_BOUND_CRS;
  PJ* op = ok ? proj_crs_get_coordoperation(ctx, crs) : nullptr;
  ok = op != nullptr && proj_coordoperation_get_towgs84_values(ctx, op, values, 7, 1) == 1;
  proj_destroy(op);
  proj_destroy(crs);
  proj_context_destroy(ctx);
  return ok;
}

TEST_F(KnownSet, Towgs84AndWktGiveProjTheMeanOfTheGoodPoints) {
  // The mean of the points left in, from their shifts printed to full precision.
  double mean[3] = {};
  int good = 0;
  for (const auto& row : Rows(Run({"-f", "csv"}).out)) {
    if (row.size() == 10 && row[9] == "0") {
      ++good;
      for (int i = 0; i < 3; ++i)
        mean[i] += Number(row[2 + i]) / 20;
    }
  }
  ASSERT_EQ(good, 20);
  const std::string towgs84 = "+proj=longlat +ellps=krass " + Run({"-f", "towgs84"}).out;
  const std::string wkt =
      "GEOGCS[\"Krassovsky local\",DATUM[\"local\",SPHEROID[\"Krassowsky 1940\",6378245,298.3]," +
      Run({"-f", "wkt"}).out + "],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]";
  for (const std::string& crs : {towgs84 + " +type=crs", wkt}) {
    SCOPED_TRACE(crs);
    double v[7];
    ASSERT_TRUE(Towgs84Of(crs, v));
    // Printed to 0.1 mm, so within half of that of the exact mean (and 1 nm for the order of
    // summation): a millimetre is never lost.
    for (int i = 0; i < 3; ++i)
      EXPECT_NEAR(v[i], mean[i], 0.5e-4 + 1e-9);
    for (int i = 3; i < 7; ++i)
      EXPECT_EQ(v[i], 0.0);  // a translation only
  }
}

TEST_F(KnownSet, HelmertStepCarriesTheGridOntoWgs84) {
  const std::string step = Run({"-f", "proj"}).out;
  ASSERT_TRUE(step.starts_with("+proj=helmert ")) << step;
  const std::string pipeline =
      "+proj=pipeline +step +inv +proj=tmerc +ellps=krass +lon_0=117 +x_0=500000 +k=1 "
      "+step +proj=cart +ellps=krass +step " +
      step + " +step +inv +proj=cart +ellps=WGS84 +step +proj=unitconvert +xy_in=rad +xy_out=deg";
  PJ_CONTEXT* ctx = proj_context_create();
  PJ* p = proj_create(ctx, pipeline.c_str());
  EXPECT_NE(p, nullptr) << pipeline;
  // The mean is within 3 mm of the translation the set was made with, and each grid point
  // carries a few millimetres of series error: 1 cm, as an angle at the Earth's radius, bounds
  // the difference.
  const double angle = 0.01 / 6.37e6 * 180 / std::numbers::pi;
  for (std::size_t i = 0; i < points_.size() && p != nullptr; ++i) {
    if (i == kBad)
      continue;
    const KnownPoint& k = points_[i];
    const PJ_COORD c = proj_trans(p, PJ_FWD, proj_coord(k.y, k.x, k.h, 0));
    EXPECT_NEAR(c.lpz.phi, k.B, angle);
    EXPECT_NEAR((c.lpz.lam - k.L) * std::cos(k.B * std::numbers::pi / 180), 0.0, angle);
    EXPECT_NEAR(c.lpz.z, k.H, 0.01);
  }
  proj_destroy(p);
  proj_context_destroy(ctx);
}

// Whether s holds one JSON value from i on, nested as JSON demands (no extension accepted);
// i is left after it.
bool JsonValue(const std::string& s, std::size_t& i) {
  const auto blank = [&] { i = std::min(s.find_first_not_of(" \t\r\n", i), s.size()); };
  const auto take = [&](char c) {
    blank();
    const bool found = i < s.size() && s[i] == c;
    i += found;
    return found;
  };
  const auto quoted = [&] {
    if (!take('"'))
      return false;
    for (; i < s.size() && s[i] != '"'; ++i) {
      if (static_cast<unsigned char>(s[i]) < 0x20)
        return false;
      i += s[i] == '\\';
    }
    return take('"');
  };
  blank();
  if (i < s.size() && (s[i] == '{' || s[i] == '[')) {
    const bool object = s[i++] == '{';
    const char close = object ? '}' : ']';
    if (take(close))
      return true;
    do {
      if ((object && !(quoted() && take(':'))) || !JsonValue(s, i))
        return false;
    } while (take(','));
    return take(close);
  }
  if (i < s.size() && s[i] == '"')
    return quoted();
  for (std::string_view word : {"true", "false", "null"}) {
    if (s.compare(i, word.size(), word) == 0) {
      i += word.size();
      return true;
    }
  }
  double v;
  const auto [end, ec] = std::from_chars(s.data() + i, s.data() + s.size(), v);
  i = static_cast<std::size_t>(end - s.data());
  return ec == std::errc() && std::isfinite(v);
}

bool IsJson(const std::string& s) {
  std::size_t i = 0;
  return JsonValue(s, i) && s.find_first_not_of(" \t\r\n", i) == std::string::npos;
}

TEST_F(KnownSet, JsonReportIsWellFormedAndEscapesText) {
  const RunResult r = Run({"-f", "json"});
  EXPECT_TRUE(IsJson(r.out)) << r.out;
  EXPECT_NE(r.out.find("\"towgs84\": \"" + Run({"-f", "towgs84"}).out + "\""), std::string::npos);

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
