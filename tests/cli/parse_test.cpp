// Reading what the user typed: angles in every notation, the easting with its zone number, and
// the checks that make one common point of a row's values.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "geodesy/geodesy.h"
#include "points/common_point.h"
#include "readers/angle.h"
#include "readers/grid_values.h"
#include "tests/cli/support.h"

namespace zerb::test {
namespace {

using geodesy::DmsToRadians;

constexpr AngleAxis kLat = AngleAxis::kLatitude;
constexpr AngleAxis kLon = AngleAxis::kLongitude;

// Whether text is refused as an angle.
Reason AngleRefusal(std::string_view text, AngleAxis axis) {
  Angle a;
  return ParseAngle(text, axis, AngleFormat::kAuto, &a);
}

Easting EastingOf(std::string_view text, Reason* reason) {
  Easting e;
  *reason = ParseEasting(text, &e);
  return e;
}

// A row of a one-table file with the titles x, y, h, L0, B, L, H made into one point.
Reason BuildForm(const std::vector<std::string_view>& values, int default_meridian,
                 CommonPoint* point) {
  const std::vector<std::string_view> titles = {"x", "y", "h", "L0", "B", "L", "H"};
  Columns columns;
  if (Reason r = ReadHeader(titles, Side::kBoth, &columns); !r.empty())
    return r;
  Record record;
  for (int f = 0; f < kFieldCount; ++f) {
    if (columns.index[f] >= 0)
      record.value[f] = values[columns.index[f]];
  }
  Wgs84Point wgs84;
  PointReading reading;
  reading.default_meridian = default_meridian;
  Reason r = ReadWgs84Point(record, columns, reading.angle_format, &wgs84);
  if (r.empty())
    r = MakeCommonPoint(record, columns, wgs84, reading, GridProjection(ProjectionKind::kDialog),
                        point);
  return r;
}

// The double the dialog holds for the same digits typed into its field.
double Typed(std::string_view text) {
  double v = NAN;
  std::from_chars(text.data(), text.data() + text.size(), v);
  return v;
}

TEST(ParseAngle, EveryNotationGivesTheTypedDms) {
  struct Case {
    const char* text;
    AngleAxis axis;
    bool negative;
    int deg, min;
    const char* sec;
  };
  std::vector<Case> cases = {
      {"30°32′", kLat, false, 30, 32, "0"},
      {"179:59:59.99", kLon, false, 179, 59, "59.99"},
      // A minus or a trailing S or W negates the whole angle, below one degree as well.
      {"-30:15:00", kLat, true, 30, 15, "0"},
      {"30 15 00 S", kLat, true, 30, 15, "0"},
      {"114d12m0sW", kLon, true, 114, 12, "0"},
      {"114:12:00E", kLon, false, 114, 12, "0"},
      {"-0:15:30.5", kLat, true, 0, 15, "30.5"},
      // Decimal degrees are converted on their decimal digits, so the seconds are the number a
      // user would type into the dialog: 0.539206 degrees = 32.35236' = 32' 21.1416".
      {"30.539206", kLat, false, 30, 32, "21.1416"},
      {"30.5°", kLat, false, 30, 30, "0"},
      {"180", kLon, false, 180, 0, "0"},
      {"-0.5", kLon, true, 0, 30, "0"},
      // Just below a whole minute: exact seconds below 60 were once refused as rounding to 60.
      {"117.99999999999999999999", kLon, false, 117, 59, "59.99999999999999999640"},
  };
  for (const char* text :
       {"30:32:21.14", "30 32 21.14", "30°32′21.14″", "30° 32′ 21.14″", "30°32'21.14\"",
        "30d32m21.14s", "30d32m21.14", "  30 : 32 : 21.14  ", "+30:32:21.14", "30:32:21.14N"}) {
    cases.push_back({text, kLat, false, 30, 32, "21.14"});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Angle a;
    ASSERT_EQ(ParseAngle(c.text, c.axis, AngleFormat::kAuto, &a), "");
    EXPECT_EQ(a.negative, c.negative);
    EXPECT_EQ(a.deg, c.deg);
    EXPECT_EQ(a.min, c.min);
    // Exact: the seconds must be the very double the dialog reads, so both give the same bits.
    EXPECT_EQ(Bits(a.sec), Bits(Typed(c.sec)));
  }
}

// Nothing that is no angle or no sensible easting is read as one: an easting outside the zones
// or outside 100 to 900 km would become a meaningless longitude.
TEST(ParseAngleAndEasting, RefuseWhatIsNoValue) {
  for (const char* text : {"",           "abc",      "30:60:00",     "30:15:60",
                           "30:15:-1",   "91:00:00", "90:00:00.001", "30.5:15:00",
                           "30:15.5:00", "30:15",    "30:15:00:00",  "nan",
                           "inf",        "1e2",      "--30",         "30:15:00 x",
                           "30°15",      "30d15s",   "-30:15:00S",   "30:15:00E"}) {
    EXPECT_NE(AngleRefusal(text, kLat), "") << text;
  }
  for (const char* text : {"180.0001", "181:00:00", "114:12:00N"})
    EXPECT_NE(AngleRefusal(text, kLon), "") << text;
  for (const char* text :
       {"24500000", "12500000", "46500000", "3500000", "123500000", "-500000", "38050000",
        "38950000", "99999.9", "900000.1", "", "5e5", "500000,0", "inf"}) {
    Reason r;
    EastingOf(text, &r);
    EXPECT_NE(r, "") << text;
  }
  Reason r;
  EastingOf("24500000", &r);
  EXPECT_NE(r.find("24"), std::string::npos);
}

// An angle below one degree cannot carry its minus sign in the form's int degrees; its minutes
// and seconds carry it instead, which must give exactly the negation of the positive twin, as
// DmsToRadians gives for a negative degree.
TEST(ToFormDms, NegativeBelowOneDegreeIsTheExactMirror) {
  std::mt19937_64 random(7);
  std::uniform_int_distribution<int> minutes(0, 59);
  std::uniform_real_distribution<double> seconds(0.0, 60.0);
  Angle a;
  a.negative = true;
  for (int i = 0; i < 10000; ++i) {
    a.min = minutes(random);
    a.sec = seconds(random);
    const FormDms f = ToFormDms(a);
    ASSERT_EQ(f.deg, 0);
    ASSERT_EQ(Bits(DmsToRadians(f.deg, f.min, f.sec)), Bits(-DmsToRadians(0, a.min, a.sec)));
  }
}

TEST(BuildForm, CentralMeridianFromZoneOrL0AndWhatCannotBeOnePoint) {
  struct Case {
    const char *x, *y, *L0;
    int default_meridian;
    const char *B, *L;
    int meridian;                   // when accepted
    std::vector<std::string> says;  // what the refusal names; empty when accepted
  };
  const int kNone = kNoMeridian;
  // x is the northing of 30:30:00 at the central meridian, within a datum shift.
  const char *const x = "3375650", *const lat = "30:30:00";
  const Case cases[] = {
      // The zone number in front of an 8-digit easting, up to the boundary zones; an easting
      // without one lies 100 to 900 km from the false origin.
      {x, "13500000", "", kNone, lat, "75:00:00", 75, {}},
      {x, "23500000", "", kNone, lat, "135:00:00", 135, {}},
      {x, "25500000", "", kNone, lat, "75:00:00", 75, {}},
      {x, "45500000", "", kNone, lat, "135:00:00", 135, {}},
      {x, "38500000", "", kNone, lat, "114:00:00", 114, {}},
      // 400 km either side of L0 117, where PROJ's inverse tmerc puts these eastings.
      {x, "100000", "117", kNone, "30:26:02.33", "112:50:16.66", 117, {}},
      {x, "900000", "117", kNone, "30:26:02.33", "121:09:43.34", 117, {}},
      {x, "38500000", "114", kNone, lat, "114:00:00", 114, {}},
      {x, "500000", "", 114, lat, "114:00:00", 114, {}},
      // A grid point on 117 whose WGS-84 point lies on 114 is no datum shift: the meridian
      // that fits is named.
      {x,
       "500000",
       "117",
       kNone,
       lat,
       "114:00:00",
       0,
       {"fits central meridian 114 (3-degree zone 38)", "L0 says 117"}},
      // Across the antimeridian the distance is the short way round.
      {x, "500000", "-180.0", kNone, lat, "179:59:59", -180, {}},
      // A disagreement names both central meridians, typed or given by default.
      {x, "38500000", "117", kNone, lat, "114:00:00", 0, {"L0 117", "(L0 114)"}},
      {x, "38500000", "", 117, lat, "114:00:00", 0, {"117", "114"}},
      {x, "500000", "", kNone, lat, "114:00:00", 0, {"no central meridian"}},
      {x, "500000", "117.5", kNone, lat, "117:00:00", 0, {"column L0 '117.5'"}},
      {x, "500000", "181", kNone, lat, "117:00:00", 0, {"column L0 '181'"}},
      // 9 degrees from the zone: a wrong L0 or zone, not a shift.
      {x, "500000", "123", kNone, lat, "114:00:00", 0, {"9.00 degrees", "central meridian 114"}},
      {"9000000.1", "500000", "117", kNone, lat, "117:00:00", 0, {"column x"}},
      // What the user typed is echoed, but never a control character that steers a terminal.
      {x, "500000", "117", kNone, "30\x1b[2J", "117:00:00", 0, {"column B '30?[2J'"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.x) + " " + c.y + " L0 '" + c.L0 + "' " + c.B + " " + c.L);
    CommonPoint point;
    const std::string error =
        BuildForm({c.x, c.y, "50", c.L0, c.B, c.L, "40"}, c.default_meridian, &point);
    if (c.says.empty()) {
      EXPECT_EQ(error, "");
      EXPECT_EQ(point.central_meridian, c.meridian);
    }
    for (const std::string& part : c.says)
      EXPECT_NE(error.find(part), std::string::npos) << error;
  }
  // The prefix is cut from the text: reading 38519160.5061 and subtracting 38000000 would keep
  // the rounding of the larger number (ulp 7.5e-9 m instead of 1.2e-10 m).
  Reason none;
  EXPECT_EQ(Bits(EastingOf(" 38519160.5061 ", &none).y), Bits(Typed("519160.5061")));
}

}  // namespace
}  // namespace zerb::test
