// Angle forms: every accepted notation must give the form the same degrees, minutes and seconds
// as typing them into the dialog, and hence the same bits.
#include "cli/angle.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <random>
#include <string>

#include "geodesy/geodesy.h"

namespace zerb {
namespace {

double Typed(const char* text) {
  double v;
  std::from_chars(text, text + std::char_traits<char>::length(text), v);
  return v;
}

void ExpectDms(std::string_view text, AngleAxis axis, bool negative, int deg, int min, double sec) {
  const Angle a = ParseAngle(text, axis);
  ASSERT_EQ(a.error, "") << text;
  EXPECT_EQ(a.negative, negative) << text;
  EXPECT_EQ(a.deg, deg) << text;
  EXPECT_EQ(a.min, min) << text;
  // Exact: the seconds must be the very double the dialog reads from the same digits.
  EXPECT_EQ(std::bit_cast<std::uint64_t>(a.sec), std::bit_cast<std::uint64_t>(sec)) << text;
}

TEST(ParseAngle, EveryNotationGivesTheTypedDms) {
  const double s = Typed("21.14");
  for (const char* text : {"30:32:21.14", "30 32 21.14",
                           "30\xC2\xB0"
                           "32\xE2\x80\xB2"
                           "21.14\xE2\x80\xB3",
                           "30\xC2\xB0 32\xE2\x80\xB2 21.14\xE2\x80\xB3",
                           "30\xC2\xB0"
                           "32'21.14\"",
                           "30d32m21.14s", "30d32m21.14", "  30 : 32 : 21.14  ", "30\t32\t21.14",
                           "+30:32:21.14", "30:32:21.14N"}) {
    ExpectDms(text, AngleAxis::kLatitude, false, 30, 32, s);
  }
  ExpectDms(
      "30\xC2\xB0"
      "32\xE2\x80\xB2",
      AngleAxis::kLatitude, false, 30, 32, 0);
  ExpectDms("7:05:00", AngleAxis::kLatitude, false, 7, 5, 0);
}

TEST(ParseAngle, MinusOrSouthWestNegatesTheWholeAngle) {
  ExpectDms("-30:15:00", AngleAxis::kLatitude, true, 30, 15, 0);
  ExpectDms("30:15:00S", AngleAxis::kLatitude, true, 30, 15, 0);
  ExpectDms("30 15 00 S", AngleAxis::kLatitude, true, 30, 15, 0);
  ExpectDms("114d12m0sW", AngleAxis::kLongitude, true, 114, 12, 0);
  ExpectDms("114:12:00E", AngleAxis::kLongitude, false, 114, 12, 0);
  ExpectDms("-0:15:30.5", AngleAxis::kLatitude, true, 0, 15, 30.5);

  EXPECT_NE(ParseAngle("-30:15:00S", AngleAxis::kLatitude).error, "");
  EXPECT_NE(ParseAngle("30:15:00E", AngleAxis::kLatitude).error, "");
  EXPECT_NE(ParseAngle("114:12:00N", AngleAxis::kLongitude).error, "");
}

// Decimal degrees are converted on their decimal digits, so the seconds are the decimal number
// a user would type into the dialog: 0.539206 degrees = 32.35236' = 32' 21.1416".
TEST(ParseAngle, DecimalDegreesBecomeExactDms) {
  ExpectDms("30.25", AngleAxis::kLatitude, false, 30, 15, 0);
  ExpectDms("30.539206", AngleAxis::kLatitude, false, 30, 32, Typed("21.1416"));
  ExpectDms("114.2", AngleAxis::kLongitude, false, 114, 12, 0);
  ExpectDms("-0.5", AngleAxis::kLongitude, true, 0, 30, 0);
  ExpectDms("117.99999999999999999999", AngleAxis::kLongitude, false, 117, 59,
            Typed("59.99999999999999999640"));
  ExpectDms("30.5\xC2\xB0", AngleAxis::kLatitude, false, 30, 30, 0);
  ExpectDms("45", AngleAxis::kLatitude, false, 45, 0, 0);
  ExpectDms("180", AngleAxis::kLongitude, false, 180, 0, 0);
}

TEST(ParseAngle, RefusesWhatIsNoAngle) {
  for (const char* text : {"",         "  ",       "abc",          "30:60:00",   "30:15:60",
                           "30:15:-1", "91:00:00", "90:00:00.001", "30.5:15:00", "30:15.5:00",
                           "30:15",    "30 15",    "30:15:00:00",  "nan",        "inf",
                           "1e2",      "--30",     "30:15:00 x",   "30°15",      "30d15s"}) {
    EXPECT_NE(ParseAngle(text, AngleAxis::kLatitude).error, "") << text;
  }
  EXPECT_NE(ParseAngle("180.0001", AngleAxis::kLongitude).error, "");
  EXPECT_NE(ParseAngle("181:00:00", AngleAxis::kLongitude).error, "");
  EXPECT_EQ(ParseAngle("179:59:59.99", AngleAxis::kLongitude).error, "");
}

// An angle below one degree cannot carry its minus sign in the form's int degrees; its minutes
// and seconds carry it instead, which must give exactly the negation of the positive twin, as
// DmsToRadians gives for a negative degree.
TEST(ToFormDms, NegativeBelowOneDegreeIsTheExactMirror) {
  std::mt19937_64 random(7);
  std::uniform_int_distribution<int> minutes(0, 59);
  std::uniform_real_distribution<double> seconds(0.0, 60.0);
  for (int i = 0; i < 10000; ++i) {
    Angle a;
    a.negative = true;
    a.min = minutes(random);
    a.sec = seconds(random);
    const FormDms f = ToFormDms(a);
    EXPECT_EQ(f.deg, 0);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(DmsToRadians(f.deg, f.min, f.sec)),
              std::bit_cast<std::uint64_t>(-DmsToRadians(0, a.min, a.sec)));
  }
  Angle a;
  a.negative = true;
  a.deg = 30;
  a.min = 15;
  const FormDms f = ToFormDms(a);
  EXPECT_EQ(f.deg, -30);  // the dialog's -30 15 0, which is -30.25 degrees
  EXPECT_EQ(f.min, 15);
  EXPECT_NEAR(DmsToRadians(f.deg, f.min, f.sec), -30.25 * DEG_TO_RAD, 1e-15);  // not -30.25+
}

}  // namespace
}  // namespace zerb
