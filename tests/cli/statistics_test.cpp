// The mean shift, the residuals and the residual test against a direct computation, and on a set
// whose answer is known: 20 points carried by PROJ through a known translation plus one with a
// 5 m blunder, which must be flagged; every export, read back by PROJ, gives the mean of the rest.
#include "cli/models/statistics.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/cli/support.h"

namespace zerb::test {
namespace {

// The translation WGS-84 minus Krassovsky (metres) that the known set is made with.
constexpr double kTrue[3] = {15.8, -130.4, -84.9};

// The distance of point i from the mean of the other points and the RMS of those about their
// mean, summed afresh for each point.
std::pair<double, double> LeaveOneOut(const std::vector<Vec3>& d, std::size_t i) {
  const double n = static_cast<double>(d.size() - 1);
  Vec3 m;
  for (std::size_t j = 0; j < d.size(); ++j) {
    const double w = j == i ? 0 : 1 / n;
    m = {m.x + w * d[j].x, m.y + w * d[j].y, m.z + w * d[j].z};
  }
  double ss = 0;
  for (std::size_t j = 0; j < d.size(); ++j)
    ss += j == i ? 0 : std::pow(std::hypot(d[j].x - m.x, d[j].y - m.y, d[j].z - m.z), 2);
  return {std::hypot(d[i].x - m.x, d[i].y - m.y, d[i].z - m.z), std::sqrt(ss / n)};
}

// The test done directly: on the points still in, each point against the others summed afresh,
// the worst out, again (not down to a last pair). Returns the flags in input order.
std::vector<Flag> DirectFlags(const std::vector<Vec3>& d, double max_residual) {
  std::vector<std::size_t> in(d.size());
  for (std::size_t i = 0; i < d.size(); ++i)
    in[i] = i;
  std::vector<Flag> flags;
  while (in.size() > (max_residual > 0 ? 2u : 3u)) {
    std::vector<Vec3> rest;
    for (std::size_t i : in)
      rest.push_back(d[i]);
    std::size_t worst = 0;
    Flag w{0, 0, 1};
    for (std::size_t k = 0; k < rest.size(); ++k) {
      const auto [distance, rms_others] = LeaveOneOut(rest, k);
      const double limit = max_residual > 0 ? max_residual : std::max(3 * rms_others, 0.001);
      if (distance / limit > w.distance / w.limit) {
        w = {in[k], distance, limit};
        worst = k;
      }
    }
    if (w.distance <= w.limit)
      break;
    flags.push_back(w);
    in.erase(in.begin() + static_cast<std::ptrdiff_t>(worst));
  }
  std::sort(flags.begin(), flags.end(),
            [](const Flag& a, const Flag& b) { return a.index < b.index; });
  return flags;
}

// Points with noise of sigma per axis about the true shift, the same in every run.
std::vector<Vec3> Noisy(int count, double sigma) {
  std::mt19937_64 random(1);
  std::normal_distribution<double> noise(0.0, sigma);
  std::vector<Vec3> d;
  for (int i = 0; i < count; ++i)
    d.push_back({kTrue[0] + noise(random), kTrue[1] + noise(random), kTrue[2] + noise(random)});
  return d;
}

TEST(Summarize, FlagsExactlyThePointsTheDirectTestFlags) {
  struct Case {
    const char* what;
    std::vector<Vec3> d;
    double max_residual;
    std::vector<std::size_t> flagged;
  };
  std::vector<Case> cases;
  // 15 sigma on one axis is flagged, 2.5 sigma is kept.
  cases.push_back({"one blunder", Noisy(30, 0.02), 0, {4}});
  cases.back().d[4].x += 0.3;
  cases.back().d[17].z -= 0.05;
  // In one pass the 1 m blunder lifts the RMS of the others of the 0.3 m one to about 0.3 m, so
  // only the 1 m one failed; taken out first, it lets the other show.
  cases.push_back({"two blunders", Noisy(12, 0.003), 0, {2, 9}});
  cases.back().d[2].y += 1.0;
  cases.back().d[9].x -= 0.3;
  // A blunder pulls the mean of every other point 0.25 m; a limit of 5 cm must not flag them.
  cases.push_back({"tight limit", Noisy(21, 0.005), 0.05, {20}});
  cases.back().d[20].x += 5;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResidualRule rule;
    rule.max_residual = c.max_residual;
    const Summary s = Summarize(c.d, rule);
    ASSERT_TRUE(s.tested);
    const std::vector<Flag> direct = DirectFlags(c.d, c.max_residual);
    ASSERT_EQ(s.flags.size(), c.flagged.size());
    ASSERT_EQ(direct.size(), c.flagged.size());
    for (std::size_t k = 0; k < c.flagged.size(); ++k) {
      EXPECT_EQ(s.flags[k].index, c.flagged[k]);
      EXPECT_EQ(direct[k].index, c.flagged[k]);
      // Rounding only: sums of 30 values of 1e2 m agree to well below a micrometre.
      EXPECT_NEAR(s.flags[k].distance, direct[k].distance, 1e-9);
      EXPECT_NEAR(s.flags[k].limit, direct[k].limit, 1e-9);
      EXPECT_EQ(s.used[c.flagged[k]], 0);
    }
    EXPECT_EQ(s.count_used, c.d.size() - c.flagged.size());
    // The mean of the rest is off by the noise over the square root of their number, at most
    // 2 cm / 5: the blunders are out of it.
    const double mean[3] = {s.mean.x, s.mean.y, s.mean.z};
    for (int k = 0; k < 3; ++k)
      EXPECT_NEAR(mean[k], kTrue[k], 0.01);
  }
  // The masking itself, so that the case above tests what it says.
  const auto [distance, rms_others] = LeaveOneOut(cases[1].d, 9);
  EXPECT_LT(distance, 3 * rms_others);
}

// Hand-derived: residuals of +-0.01 m on x only, and a point 1 m off that the limit leaves out.
// The values are sums of a few decimals, exact to rounding (1e-12 m).
TEST(Summarize, MeanAndRmsOfThePointsUsed) {
  const std::vector<Vec3> d = {
      {10.01, 5, 1}, {9.99, 5, 1}, {10.01, 5, 1}, {9.99, 5, 1}, {11.0, 5, 1}};
  ResidualRule rule;
  rule.max_residual = 0.5;
  const Summary s = Summarize(d, rule);
  EXPECT_NEAR(s.mean_all.x, 10.2, 1e-12);
  EXPECT_NEAR(s.mean.x, 10.0, 1e-12);
  EXPECT_NEAR(s.rms_axis.x, 0.01, 1e-12);
  EXPECT_NEAR(s.rms_axis.y, 0.0, 1e-12);
  EXPECT_NEAR(s.rms, 0.01, 1e-12);
  ASSERT_EQ(s.flags.size(), 1u);
  EXPECT_EQ(s.flags[0].index, 4u);
  EXPECT_NEAR(s.flags[0].distance, 1.0, 1e-12);

  rule.keep_all = true;
  const Summary kept = Summarize(d, rule);
  EXPECT_EQ(kept.flags.size(), 1u);
  EXPECT_EQ(kept.count_used, 5u);
  EXPECT_NEAR(kept.mean.x, 10.2, 1e-12);
}

TEST(Summarize, NoTestWithoutEnoughPointsOrSpread) {
  // Four points at least, so that three others form an RMS; two with a limit in metres.
  EXPECT_FALSE(Summarize({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {}).tested);
  ResidualRule limit;
  limit.max_residual = 0.1;
  EXPECT_TRUE(Summarize({{0, 0, 0}, {1, 0, 0}}, limit).tested);
  // Points that agree to rounding do not flag each other: the limit is at least 1 mm.
  std::vector<Vec3> same(10, Vec3{kTrue[0], kTrue[1], kTrue[2]});
  same[3].x = std::nextafter(same[3].x, 100.0);
  EXPECT_TRUE(Summarize(same, {}).flags.empty());
  // Two points that fail a limit are each other's only other point: no telling which is off, so
  // both are flagged and kept, also when they are the last two of more.
  for (const std::vector<Vec3>& d : {std::vector<Vec3>{{0, 0, 0}, {5, 0, 0}},
                                     std::vector<Vec3>{{0, 0, 0}, {9, 0, 0}, {0.5, 0, 0}}}) {
    const Summary pair = Summarize(d, limit);
    EXPECT_TRUE(pair.undecided);
    EXPECT_EQ(pair.flags.size(), d.size());
    EXPECT_EQ(pair.count_used, 2u);
    EXPECT_NEAR(pair.mean.x, d.size() == 2 ? 2.5 : 0.25, 1e-12);
  }
}

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
                -kTrue[0], -kTrue[1], -kTrue[2], L0);
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
      for (int i = 0; i < 3 && row.size() == 11 && row[9] == "0"; ++i)
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
    ASSERT_EQ(row.size(), 11u);
    SCOPED_TRACE(row[1]);
    EXPECT_EQ(row[0], std::to_string(i + 2));
    EXPECT_EQ(row[9], i == kBad ? "1" : "0");
    if (i == kBad) {
      // The residual shows the blunder: 5 m of northing, on the ground to the grid scale (within
      // 0.05 % at 2 degrees from the central meridian) plus the millimetres of the series: 1 cm.
      EXPECT_NEAR(Number(row[8]), 5.0, 0.01);
      continue;
    }
    for (int k = 0; k < 3; ++k)
      EXPECT_NEAR(Number(row[2 + k]), kTrue[k], kPointTolerance);
    EXPECT_LT(Number(row[8]), kPointTolerance);
  }
  const auto& mean = rows_[22];
  EXPECT_EQ(mean[0], "mean");
  for (int k = 0; k < 3; ++k)
    EXPECT_NEAR(Number(mean[2 + k]), kTrue[k], kMeanTolerance);
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
    EXPECT_TRUE(c.args.empty() || IsJson(out)) << out;
    for (const std::string& part : c.says)
      EXPECT_NE(out.find(part), std::string::npos) << part << " in\n" << out;
  }
}

// 5 cm is far beyond the good points' few millimetres, but the blunder pulls the mean of the
// others of every good point 0.25 m away: tested all at once, every point failed and the blunder
// stayed in the mean.
TEST_F(KnownSet, TightLimitTakesOutTheBlunderNotEveryPoint) {
  const auto rows = Rows(Run({"--max-residual", "0.05", "-f", "csv"}));
  ASSERT_EQ(rows.size(), 1u + 21u + 2u);
  for (int i = 0; i < 21; ++i)
    EXPECT_EQ(rows[i + 1][9], i == kBad ? "1" : "0") << rows[i + 1][1];
  for (int k = 0; k < 3; ++k)
    EXPECT_NEAR(Number(rows[22][2 + k]), kTrue[k], kMeanTolerance);
}

// towgs84 and WKT must give PROJ's bound CRS the mean as its translation. As a step of a
// pipeline, the helmert step must move a geocentric point by the mean and by nothing else: a
// rotation or a scale would move a point this far from the centre by metres.
TEST_F(KnownSet, EachExportGivesProjTheMeanOfTheGoodPoints) {
  const std::string wkt =
      "GEOGCS[\"Krassovsky local\",DATUM[\"local\",SPHEROID[\"Krassowsky 1940\",6378245,298.3]," +
      Run({"-f", "wkt"}) + "],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]";
  const std::string towgs84 = "+proj=longlat +ellps=krass " + Run({"-f", "towgs84"}) + " +type=crs";
  for (const std::string& crs : {towgs84, wkt}) {
    SCOPED_TRACE(crs);
    PJ* bound = proj_create(nullptr, crs.c_str());
    PJ* op = proj_crs_get_coordoperation(nullptr, bound);
    double v[7] = {1, 1, 1, 1, 1, 1, 1};
    EXPECT_TRUE(proj_coordoperation_get_towgs84_values(nullptr, op, v, 7, 1));
    proj_destroy(op);
    proj_destroy(bound);
    for (int k = 0; k < 3; ++k)
      EXPECT_NEAR(v[k], mean_[k], kPrinted);
    for (int k = 3; k < 7; ++k)
      EXPECT_EQ(v[k], 0.0);  // a translation only
  }
  const std::string pipeline = "+proj=pipeline +step " + Run({"-f", "proj"});
  PJ* helmert = proj_create(nullptr, pipeline.c_str());
  ASSERT_NE(helmert, nullptr) << pipeline;
  const PJ_COORD from = proj_coord(-2.2e6, 4.9e6, 3.5e6, 0);
  const PJ_COORD to = proj_trans(helmert, PJ_FWD, from);
  proj_destroy(helmert);
  for (int k = 0; k < 3; ++k)
    EXPECT_NEAR(to.v[k] - from.v[k], mean_[k], kPrinted);
}

}  // namespace
}  // namespace zerb::test
