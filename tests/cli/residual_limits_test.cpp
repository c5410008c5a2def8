// Residual limits (--horizontal-limit, --vertical-limit): each point held against them in the text
// report of every model, with the verdict, and the values refused that are no limit. The residuals
// of the README's points are known from their own tests: GP04 carries a 0.7 m blunder in its
// northing, the others fit to below a millimetre.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "models/residual_limits.h"
#include "tests/cli/support.h"
#include "tests/readme_points.h"

namespace zerb::test {
namespace {

const std::string kPoints = kReadmePoints;

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++n;
  return n;
}

TEST(ResidualLimits, AResidualOnTheLimitIsWithinAndAMissingOneIsNeverHeldAgainstIt) {
  const ResidualLimits both{0.03, 0.05};
  EXPECT_TRUE(WithinLimits(both, 0.03, -0.05));
  EXPECT_FALSE(WithinLimits(both, 0.0301, 0.0));
  EXPECT_FALSE(WithinLimits(both, 0.0, -0.0501));
  // A point in only one of the plane model's fits is judged by that fit alone.
  EXPECT_TRUE(WithinLimits(both, std::nan(""), 0.01));
  EXPECT_FALSE(WithinLimits(both, std::nan(""), 0.06));
  EXPECT_TRUE(WithinLimits(both, 0.01, std::nan("")));
  // A limit not set judges nothing.
  EXPECT_TRUE(WithinLimits(ResidualLimits{0.03, 0}, 0.0, 100.0));
  EXPECT_FALSE(ResidualLimits{}.any());
}

TEST(ResidualLimits, TheBlunderedPointIsOutsideAndTheOthersWithin) {
  const RunResult r =
      RunZerbShift({"--horizontal-limit", "0.03", "--vertical-limit", "0.05", "-"}, kPoints);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Count(r.out, "(outside the limits)"), 1u) << r.out;
  EXPECT_NE(r.out.find("GP04  (flagged)  (outside the limits)\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("residual limits: horizontal 0.0300 m, vertical 0.0500 m: 5 of 6 points "
                       "within\n  outside the limits: line 5 (GP04): horizontal 0.7000 m, "
                       "vertical 0.0002 m\n"),
            std::string::npos)
      << r.out;
  // A limit below every residual puts every point outside, the blunder among them.
  const RunResult tight = RunZerbShift({"--horizontal-limit", "0.0001", "-"}, kPoints);
  EXPECT_NE(tight.out.find("residual limits: horizontal 0.0001 m: 0 of 6 points within"),
            std::string::npos)
      << tight.out;
  // Without limits the report is as it was.
  EXPECT_EQ(RunZerbShift({"-"}, kPoints).out.find("limits"), std::string::npos);
}

TEST(ResidualLimits, ThePlaneModelHoldsEachFitAgainstItsOwnLimit) {
  // GP04's blunder is horizontal; its height fits the plane to a millimetre.
  const RunResult horizontal =
      RunZerbShift({"--model", "4", "--height-fit", "plane", "--horizontal-limit", "0.03",
                    "--vertical-limit", "0.05", "-"},
                   kPoints);
  EXPECT_NE(horizontal.out.find("5 of 6 points within\n  outside the limits: line 5 (GP04): "
                                "horizontal 0.6990 m, vertical 0.0010 m\n"),
            std::string::npos)
      << horizontal.out;
  // GP04 used only in height: its horizontal blunder is held against no limit.
  const RunResult vertical_only =
      RunZerbShift({"--model", "4", "--height-fit", "plane", "--vertical-only", "GP04",
                    "--horizontal-limit", "0.03", "-"},
                   kPoints);
  EXPECT_NE(vertical_only.out.find("residual limits: horizontal 0.0300 m: 6 of 6 points within"),
            std::string::npos)
      << vertical_only.out;
  // Outside a vertical limit, it is listed with the one residual it has.
  const RunResult height = RunZerbShift({"--model", "4", "--height-fit", "plane", "--vertical-only",
                                         "GP04", "--vertical-limit", "0.0001", "-"},
                                        kPoints);
  EXPECT_NE(height.out.find("  outside the limits: line 5 (GP04): vertical 0.0010 m\n"),
            std::string::npos)
      << height.out;
}

TEST(ResidualLimits, AValueThatIsNoLengthIsRefused) {
  for (const char* value : {"0", "-0.03", "3cm", "nan"}) {
    const RunResult r = RunZerbShift({"--vertical-limit", value, "-"}, kPoints);
    EXPECT_EQ(r.status, 2) << value;
    EXPECT_NE(r.err.find("--vertical-limit needs a positive length in metres, not '"),
              std::string::npos)
        << r.err;
  }
}

// A value wider than its column keeps a blank before it: the plane report's flagged GP04 has no
// redundancy ("-") and a test statistic of seven digits.
TEST(ResidualLimits, AWideTestStatisticStaysApartFromTheColumnBefore) {
  const RunResult r = RunZerbShift({"--model", "4", "--height-fit", "plane", "-"}, kPoints);
  EXPECT_NE(r.out.find("     - 1083121.45"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace zerb::test
