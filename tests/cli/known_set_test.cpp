// The whole computation on a set whose answer is known: 20 WGS-84 points carried to the grid by
// PROJ with a known translation, plus one point with a 5 m blunder in its northing. zerb-shift
// must find the translation and flag exactly the bad point.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "tests/cli/known_set.h"
#include "tests/cli/run_helper.h"

namespace zerb::test {
namespace {

// The inverse Gauss-Krueger series is good to 1e-4 arc-second (3 mm) within 3 degrees of the
// central meridian; PROJ's transverse Mercator is better than 0.1 mm there, and the table
// carries 0.1 mm. A point's shift may therefore be off by a few millimetres, the mean by less.
constexpr double kPointTolerance = 0.005;
constexpr double kMeanTolerance = 0.003;

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> f;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = line.find(',', start);
    f.push_back(line.substr(start, end - start));
    if (end == std::string::npos)
      return f;
    start = end + 1;
  }
}

double Number(const std::string& s) {
  double v = NAN;
  std::from_chars(s.data(), s.data() + s.size(), v);
  return v;
}

std::vector<std::vector<std::string>> Rows(const std::string& csv) {
  std::vector<std::vector<std::string>> rows;
  std::size_t start = 0;
  while (start < csv.size()) {
    const std::size_t end = csv.find('\n', start);
    rows.push_back(Fields(csv.substr(start, end - start)));
    start = end + 1;
  }
  return rows;
}

class KnownSet : public ::testing::Test {
 protected:
  void SetUp() override {
    points_ = MakeKnownSet(21, 117);
    ASSERT_EQ(points_.size(), 21u);
    points_[10].x += 5.0;  // the blunder, on input line 12
    csv_ = ToCsv(points_, 117);
  }
  std::vector<KnownPoint> points_;
  std::string csv_;
};

TEST_F(KnownSet, FindsTheTranslationAndFlagsTheBadPoint) {
  const RunResult r = RunZerbShift({"--format", "csv"}, csv_);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const auto rows = Rows(r.out);
  ASSERT_EQ(rows.size(), 1u + 21u + 2u) << r.out;
  EXPECT_EQ(rows[0], (std::vector<std::string>{"line", "name", "dx", "dy", "dz", "vx", "vy", "vz",
                                               "v", "flagged"}));
  for (std::size_t i = 1; i <= 21; ++i) {
    const auto& row = rows[i];
    EXPECT_EQ(row[0], std::to_string(i + 1));
    const bool bad = i == 11;
    EXPECT_EQ(row[9], bad ? "1" : "0") << row[1];
    if (bad)
      continue;
    EXPECT_NEAR(Number(row[2]), kTrueDx, kPointTolerance) << row[1];
    EXPECT_NEAR(Number(row[3]), kTrueDy, kPointTolerance) << row[1];
    EXPECT_NEAR(Number(row[4]), kTrueDz, kPointTolerance) << row[1];
    EXPECT_LT(Number(row[8]), kPointTolerance) << row[1];
  }
  // The bad point's residual shows its 5 m blunder (turned into geocentric axes).
  EXPECT_NEAR(Number(rows[11][8]), 5.0, 0.01);
  const auto& mean = rows[22];
  EXPECT_EQ(mean[0], "mean");
  EXPECT_NEAR(Number(mean[2]), kTrueDx, kMeanTolerance);
  EXPECT_NEAR(Number(mean[3]), kTrueDy, kMeanTolerance);
  EXPECT_NEAR(Number(mean[4]), kTrueDz, kMeanTolerance);
  EXPECT_EQ(rows[23][0], "rms");
  EXPECT_LT(Number(rows[23][8]), kPointTolerance);
}

TEST_F(KnownSet, TextReportListsTheBadPointAndBothMeans) {
  const RunResult r = RunZerbShift({}, csv_);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("mean of all 21 points"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("flagged: line 12 (P11)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("mean of 20 points"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("P11  (flagged)"), std::string::npos) << r.out;
}

TEST_F(KnownSet, KeepAllAndMaxResidual) {
  const RunResult kept = RunZerbShift({"--keep-all", "-f", "json"}, csv_);
  ASSERT_EQ(kept.status, 0) << kept.err;
  EXPECT_NE(kept.out.find("\"used\": 21"), std::string::npos) << kept.out;
  EXPECT_NE(kept.out.find("\"flagged\": [{\"line\": 12, \"name\": \"P11\""), std::string::npos)
      << kept.out;
  EXPECT_NE(kept.out.find("\"flagged_kept\": true"), std::string::npos);

  // A limit of 1 m still catches the 5 m blunder; one of 10 m lets it through.
  const RunResult tight = RunZerbShift({"--max-residual", "1", "-f", "json"}, csv_);
  EXPECT_NE(tight.out.find("\"used\": 20"), std::string::npos) << tight.out;
  const RunResult loose = RunZerbShift({"--max-residual=10", "-f", "json"}, csv_);
  EXPECT_NE(loose.out.find("\"used\": 21"), std::string::npos) << loose.out;
  EXPECT_NE(loose.out.find("\"flagged\": []"), std::string::npos) << loose.out;
}

}  // namespace
}  // namespace zerb::test
