// zerb-fit's command line: the inputs zerb-shift takes, and a clear refusal of anything else.
#include "fit/command_line.h"

#include <gtest/gtest.h>

namespace zerb::fit {
namespace {

TEST(FitCommandLine, TakesOneTable) {
  FitArguments a;
  EXPECT_EQ(ParseArguments({"points.csv"}, &a), QString());
  EXPECT_EQ(a.table, "points.csv");
  EXPECT_TRUE(a.grid.isEmpty());
}

TEST(FitCommandLine, TakesAGridAndAGnssFile) {
  FitArguments a;
  EXPECT_EQ(ParseArguments({"--wgs84", "gnss.csv", "--grid", "control.dat"}, &a), QString());
  EXPECT_EQ(a.grid, "control.dat");
  EXPECT_EQ(a.wgs84, "gnss.csv");
  EXPECT_TRUE(a.table.isEmpty());
}

TEST(FitCommandLine, RefusesWhatItCannotOpen) {
  FitArguments a;
  EXPECT_FALSE(ParseArguments({"--grid", "control.dat"}, &a).isEmpty());
  EXPECT_FALSE(ParseArguments({"--grid"}, &a).isEmpty());
  EXPECT_FALSE(ParseArguments({"a.csv", "b.csv"}, &a).isEmpty());
  EXPECT_FALSE(ParseArguments({"a.csv", "--grid", "c.dat", "--wgs84", "g.csv"}, &a).isEmpty());
  EXPECT_FALSE(ParseArguments({"--model", "7"}, &a).isEmpty());
  // The window reads its input again on every change; standard input reads once.
  EXPECT_FALSE(ParseArguments({"-"}, &a).isEmpty());
  EXPECT_FALSE(ParseArguments({"--grid", "-", "--wgs84", "g.csv"}, &a).isEmpty());
}

}  // namespace
}  // namespace zerb::fit
