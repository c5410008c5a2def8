// Grid values: the zone number in front of the easting, the central meridian, the ranges.
#include "cli/grid.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "cli/csv.h"

namespace zerb {
namespace {

double Read(const char* text) {
  double v = 0;
  EXPECT_EQ(ParseLength(text, &v), "") << text;
  return v;
}

TEST(ParseEasting, ZoneNumberInFrontGivesTheCentralMeridian) {
  struct Case {
    const char* text;
    int zone;
    int meridian;
  };
  for (const Case& c :
       {Case{"13500000", 13, 75}, Case{"20500000", 20, 117}, Case{"23500000", 23, 135},
        Case{"25500000", 25, 75}, Case{"38500000", 38, 114}, Case{"39500000", 39, 117},
        Case{"45500000", 45, 135}}) {
    const Easting e = ParseEasting(c.text);
    ASSERT_EQ(e.error, "") << c.text;
    EXPECT_EQ(e.zone, c.zone) << c.text;
    EXPECT_EQ(e.zone_meridian, c.meridian) << c.text;
    EXPECT_EQ(e.y, 500000.0) << c.text;
  }
}

// The prefix is cut from the text: reading 38519160.5061 and subtracting 38000000 would keep the
// rounding of the larger number (ulp 7.5e-9 m instead of 1.2e-10 m).
TEST(ParseEasting, PrefixIsCutFromTheTextNotSubtracted) {
  const Easting e = ParseEasting(" 38519160.5061 ");
  ASSERT_EQ(e.error, "");
  EXPECT_EQ(std::bit_cast<std::uint64_t>(e.y), std::bit_cast<std::uint64_t>(Read("519160.5061")));
  const Easting plain = ParseEasting("519160.5061");
  EXPECT_EQ(plain.zone, 0);
  EXPECT_EQ(plain.y, e.y);
}

TEST(ParseEasting, RefusesMeaninglessEastings) {
  for (const char* text :
       {"24500000", "12500000", "46500000", "10500000", "99500000", "3500000", "123500000",
        "-500000", "38050000", "38950000", "99999.9", "900000.1", "", "5e5", "500000,0", "inf"}) {
    EXPECT_NE(ParseEasting(text).error, "") << text;
  }
  EXPECT_EQ(ParseEasting("100000").error, "");
  EXPECT_EQ(ParseEasting("900000").error, "");
  EXPECT_NE(ParseEasting("24500000").error.find("24"), std::string::npos);
}

TEST(ParseCentralMeridian, WholeDegreesInTheDialogsBounds) {
  int m = 0;
  EXPECT_EQ(ParseCentralMeridian("117", &m), "");
  EXPECT_EQ(m, 117);
  EXPECT_EQ(ParseCentralMeridian("-180.0", &m), "");
  EXPECT_EQ(m, -180);
  EXPECT_NE(ParseCentralMeridian("117.5", &m), "");
  EXPECT_NE(ParseCentralMeridian("181", &m), "");
  EXPECT_NE(ParseCentralMeridian("L0", &m), "");
}

PointText Texts(const char* x, const char* y, const char* L0, const char* B, const char* L) {
  PointText t;
  t.value[kX] = x;
  t.value[kY] = y;
  t.value[kGridH] = "50";
  t.value[kL0] = L0;
  t.value[kB] = B;
  t.value[kL] = L;
  t.value[kGeoH] = "40";
  return t;
}

TEST(BuildForm, ZoneAndCentralMeridianMustAgree) {
  ShiftForm f;
  EXPECT_EQ(BuildForm(Texts("3380000", "38500000", "", "30:30:00", "114:00:00"), kNoMeridian, &f),
            "");
  EXPECT_EQ(f.m_centralMeridian, 114);
  EXPECT_EQ(f.m_gridY, 500000.0);
  EXPECT_EQ(
      BuildForm(Texts("3380000", "38500000", "114", "30:30:00", "114:00:00"), kNoMeridian, &f), "");
  EXPECT_EQ(BuildForm(Texts("3380000", "500000", "", "30:30:00", "114:00:00"), 114, &f), "");
  EXPECT_EQ(f.m_centralMeridian, 114);

  // A disagreement names both central meridians.
  const std::string typed =
      BuildForm(Texts("3380000", "38500000", "117", "30:30:00", "114:00:00"), kNoMeridian, &f);
  EXPECT_NE(typed.find("117"), std::string::npos) << typed;
  EXPECT_NE(typed.find("114"), std::string::npos) << typed;
  const std::string by_default =
      BuildForm(Texts("3380000", "38500000", "", "30:30:00", "114:00:00"), 117, &f);
  EXPECT_NE(by_default.find("117"), std::string::npos) << by_default;
  EXPECT_NE(by_default.find("114"), std::string::npos) << by_default;

  EXPECT_NE(BuildForm(Texts("3380000", "500000", "", "30:30:00", "114:00:00"), kNoMeridian, &f)
                .find("no central meridian"),
            std::string::npos);
}

TEST(BuildForm, RefusesPointsThatCannotBeOnePoint) {
  ShiftForm f;
  // The WGS-84 longitude 9 degrees from the zone: a wrong L0 or zone, not a shift.
  EXPECT_NE(BuildForm(Texts("3380000", "500000", "123", "30:30:00", "114:00:00"), kNoMeridian, &f),
            "");
  EXPECT_EQ(BuildForm(Texts("3380000", "500000", "117", "30:30:00", "114:00:00"), kNoMeridian, &f),
            "");
  // Across the antimeridian the distance is the short way round.
  EXPECT_EQ(BuildForm(Texts("3380000", "500000", "180", "30:30:00", "-178:00:00"), kNoMeridian, &f),
            "");
  EXPECT_NE(
      BuildForm(Texts("9000000.1", "500000", "117", "30:30:00", "117:00:00"), kNoMeridian, &f), "");
  const std::string error =
      BuildForm(Texts("3380000", "500000", "117", "30:75:00", "117:00:00"), kNoMeridian, &f);
  EXPECT_NE(error.find("column B '30:75:00'"), std::string::npos) << error;
  // What the user typed is echoed, but never a control character that would steer a terminal.
  const std::string echoed =
      BuildForm(Texts("3380000", "500000", "117", "30\x1b[2J", "117:00:00"), kNoMeridian, &f);
  EXPECT_NE(echoed.find("column B '30?[2J'"), std::string::npos) << echoed;
}

}  // namespace
}  // namespace zerb
