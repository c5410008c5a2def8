// ComputeShift, Shift and GaussKrugerInverse against a frozen table of their own results
// (data/frozen_shifts.txt, whose header gives its columns and how its points were made): 302
// common points across the zones, latitudes and distances from the central meridian in use. The
// core's results are a bit-for-bit contract, so every value must come back with the bits the
// table holds, and the inverse's columns tell a change of the series from one in the geocentric
// step. What this catches is a change that moves some result of these points by a bit: a dropped
// term, a sign, a constant, a reordering among the main terms. A rewrite that only moves the
// last bit of a small term (the corrections of the series reordered, u * u * u for std::pow(u, 3))
// is rounded away in nearly every result, and is caught only by reading the change.
#include <gtest/gtest.h>
#include <GeographicLib/Geocentric.hpp>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "geodesy/geodesy.h"

namespace {

using zerb::geodesy::ComputeShift;
using zerb::geodesy::DEG_TO_RAD;
using zerb::geodesy::Dms;
using zerb::geodesy::GaussKrugerInverse;
using zerb::geodesy::GeocentricPoint;
using zerb::geodesy::kKrassovsky;
using zerb::geodesy::kWgs84;
using zerb::geodesy::Shift;
using zerb::geodesy::ShiftForm;
using zerb::geodesy::ShiftResult;

// Why a line of the table cannot be read; empty when it was.
using Reason = std::string;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The table holds 302 points; fewer than this means it was cut short or lost its lines.
constexpr std::size_t kMinimumPoints = 250;
// A change in the core usually moves every point: the first few are shown in full, the rest
// only counted.
constexpr int kReportedPoints = 20;

struct FrozenPoint {
  std::uint64_t line = 0;
  ShiftForm form;  // the inputs, and in m_dx, m_dy, m_dz the frozen results
  double inverseB = 0;
  double inverseL = 0;
  double seriesL = 0;  // the inverse's longitude about meridian 0
};

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsBlank(text[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && !IsBlank(text[end]))
      ++end;
    words.push_back(text.substr(i, end - i));
    i = end;
  }
  return words;
}

Reason ReadInteger(std::string_view word, int* value) {
  const char* end = word.data() + word.size();
  const auto [stop, error] = std::from_chars(word.data(), end, *value);
  if (error != std::errc() || stop != end)
    return "'" + std::string(word) + "' is not an integer";
  return {};
}

// Only the hexadecimal form is taken: a decimal value would mean the line was edited by hand and
// may no longer hold the bits that were written.
Reason ReadHexDouble(std::string_view word, double* value) {
  const std::string_view magnitude = word.starts_with('-') ? word.substr(1) : word;
  const std::string text(word);
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  if (!magnitude.starts_with("0x") || end != text.c_str() + text.size())
    return "'" + text + "' is not a hexadecimal floating-point number";
  return {};
}

// One point from the values of a line, comment removed; the column order is the table's.
Reason ReadPoint(std::string_view text, FrozenPoint* point) {
  struct Column {
    const char* name;
    double* real;
    int* integer;
  };
  ShiftForm& f = point->form;
  const Column columns[] = {
      {"x", &f.m_gridX, nullptr},        {"y", &f.m_gridY, nullptr},
      {"h", &f.m_gridH, nullptr},        {"L0", nullptr, &f.m_centralMeridian},
      {"Bd", nullptr, &f.m_latDeg},      {"Bm", nullptr, &f.m_latMin},
      {"Bs", &f.m_latSec, nullptr},      {"Ld", nullptr, &f.m_lonDeg},
      {"Lm", nullptr, &f.m_lonMin},      {"Ls", &f.m_lonSec, nullptr},
      {"H", &f.m_geoH, nullptr},         {"dx", &f.m_dx, nullptr},
      {"dy", &f.m_dy, nullptr},          {"dz", &f.m_dz, nullptr},
      {"Bk", &point->inverseB, nullptr}, {"Lk", &point->inverseL, nullptr},
      {"Lk0", &point->seriesL, nullptr},
  };
  const std::vector<std::string_view> words = Words(text);
  if (words.size() != std::size(columns)) {
    return std::to_string(words.size()) + " values, expected " + std::to_string(std::size(columns));
  }
  for (std::size_t i = 0; i < words.size(); ++i) {
    const Column& c = columns[i];
    const Reason r =
        c.real != nullptr ? ReadHexDouble(words[i], c.real) : ReadInteger(words[i], c.integer);
    if (!r.empty())
      return "column " + std::to_string(i + 1) + " (" + c.name + "): " + r;
  }
  return {};
}

// Every point of the table; blank lines and comments are passed over, anything else that is
// not a whole point refuses the table.
Reason ReadTable(std::istream& in, std::vector<FrozenPoint>* points) {
  std::string line;
  std::uint64_t number = 0;
  while (std::getline(in, line)) {
    ++number;
    std::string_view text = line;
    if (text.ends_with('\r'))
      text.remove_suffix(1);
    text = text.substr(0, text.find('#'));
    if (text.find_first_not_of(" \t") == std::string_view::npos)
      continue;
    FrozenPoint point;
    point.line = number;
    if (Reason r = ReadPoint(text, &point); !r.empty())
      return "line " + std::to_string(number) + ": " + r;
    points->push_back(point);
  }
  if (in.bad())
    return "read error after line " + std::to_string(number);
  return {};
}

struct Table {
  Reason reason;
  std::vector<FrozenPoint> points;
};

const Table& FrozenTable() {
  static const Table table = [] {
    Table t;
    std::ifstream in(ZERB_FROZEN_SHIFTS);
    if (!in) {
      t.reason = "cannot open " ZERB_FROZEN_SHIFTS;
    } else if (Reason r = ReadTable(in, &t.points); !r.empty()) {
      t.reason = ZERB_FROZEN_SHIFTS ", " + r;
    }
    return t;
  }();
  return table;
}

std::string Hex(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%a", v);
  return text;
}

bool SameBits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The differences of one point, "" when there are none.
class Differences {
 public:
  void Compare(const char* name, double got, double frozen) {
    if (!SameBits(got, frozen))
      text_ += std::string("\n  ") + name + " is " + Hex(got) + ", the table has " + Hex(frozen);
  }
  void CompareNear(const char* name, double got, double reference, double tolerance) {
    if (!(std::fabs(got - reference) <= tolerance)) {
      text_ += std::string("\n  ") + name + " is " + std::to_string(got) + ", the reference " +
               std::to_string(reference) + " (difference " + Hex(got - reference) + ")";
    }
  }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// Every point read, and enough of them that the comparison means something.
class FrozenShifts : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FrozenTable().reason.empty()) << FrozenTable().reason;
    ASSERT_GE(FrozenTable().points.size(), kMinimumPoints)
        << ZERB_FROZEN_SHIFTS " holds too few points";
  }

  // Fails the test for each point with differences, in full for the first few.
  template <typename Compare>
  void ExpectEveryPoint(Compare compare) {
    int differing = 0;
    for (const FrozenPoint& point : FrozenTable().points) {
      Differences d;
      compare(point, &d);
      if (d.text().empty())
        continue;
      if (++differing <= kReportedPoints)
        ADD_FAILURE() << ZERB_FROZEN_SHIFTS ", line " << point.line << ":" << d.text();
    }
    EXPECT_EQ(differing, 0) << differing << " of " << FrozenTable().points.size()
                            << " points differ";
  }
};

TEST_F(FrozenShifts, ComputeShiftGivesTheFrozenBits) {
  ExpectEveryPoint([](const FrozenPoint& point, Differences* d) {
    ShiftForm form = point.form;
    // Results the core failed to write must not pass for frozen ones.
    form.m_dx = form.m_dy = form.m_dz = std::numeric_limits<double>::quiet_NaN();
    ComputeShift(form);
    d->Compare("dx", form.m_dx, point.form.m_dx);
    d->Compare("dy", form.m_dy, point.form.m_dy);
    d->Compare("dz", form.m_dz, point.form.m_dz);
  });
}

TEST_F(FrozenShifts, InverseProjectionGivesTheFrozenBits) {
  ExpectEveryPoint([](const FrozenPoint& point, Differences* d) {
    // The arguments ComputeShift passes for the grid side.
    const ShiftForm& f = point.form;
    double B, L;
    GaussKrugerInverse(kKrassovsky.a, kKrassovsky.e, f.m_centralMeridian * DEG_TO_RAD, f.m_gridX,
                       f.m_gridY, &B, &L);
    d->Compare("Bk", B, point.inverseB);
    d->Compare("Lk", L, point.inverseL);
    // About meridian 0 the longitude is the series alone, at its own finer last bit.
    double unusedB, seriesL;
    GaussKrugerInverse(kKrassovsky.a, kKrassovsky.e, 0, f.m_gridX, f.m_gridY, &unusedB, &seriesL);
    d->Compare("Lk0", seriesL, point.seriesL);
  });
}

// The angle deg min sec in degrees as the surveyor means it, the sign of the degrees (or, below
// one degree, of the minutes and seconds) belonging to all of it; summed apart from the core's
// own reading so that GeographicLib gets its angles by another way.
double Degrees(int deg, int min, double sec) {
  const double magnitude = std::abs(deg) + min / 60.0 + sec / 3600.0;
  return deg < 0 ? -magnitude : magnitude;
}

// GeographicLib's Geocentric on the ellipsoid, with the flattening that belongs to its stored
// e^2, so the comparison is of the positions alone.
GeocentricPoint GeographicLibPosition(const zerb::geodesy::Ellipsoid& ellipsoid, double lat,
                                      double lon, double h) {
  const GeographicLib::Geocentric geocentric(ellipsoid.a, 1 - std::sqrt(1 - ellipsoid.e2));
  GeocentricPoint p;
  geocentric.Forward(lat, lon, h, p.X, p.Y, p.Z);
  return p;
}

// A coordinate near the Earth's radius has a last place of 9.3e-10 m; the angles reach
// GeographicLib through a degree sum of their own (and, on Krassovsky, a division of the
// inverse's radians), each a unit in the last place of the angle, another 1.4e-9 m on the ground.
// 1e-8 m leaves room for both while a wrong ellipsoid, height or angle costs metres.
constexpr double kPositionToleranceM = 1e-8;

// The value function the dialog's ComputeShift sits on gives its bits for every point of the
// table, and its two positions are what it differences: each is where GeographicLib puts the
// point on its own ellipsoid (the WGS-84 side from the typed angles, the Krassovsky side from
// the inverse projection's frozen latitude and longitude), and their difference is the shift.
TEST_F(FrozenShifts, ShiftGivesComputeShiftsBitsAndTheTwoPositions) {
  ExpectEveryPoint([](const FrozenPoint& point, Differences* d) {
    const ShiftForm& f = point.form;
    ShiftForm form = f;
    form.m_dx = form.m_dy = form.m_dz = std::numeric_limits<double>::quiet_NaN();
    ComputeShift(form);
    const ShiftResult r =
        Shift({.latitude = Dms{f.m_latDeg, f.m_latMin, f.m_latSec},
               .longitude = Dms{f.m_lonDeg, f.m_lonMin, f.m_lonSec},
               .height = f.m_geoH},
              {.x = f.m_gridX, .y = f.m_gridY, .h = f.m_gridH}, f.m_centralMeridian);
    d->Compare("Shift dx", r.dx, form.m_dx);
    d->Compare("Shift dy", r.dy, form.m_dy);
    d->Compare("Shift dz", r.dz, form.m_dz);
    d->Compare("Xw - Xk", r.wgs84.X - r.krassovsky.X, r.dx);
    d->Compare("Yw - Yk", r.wgs84.Y - r.krassovsky.Y, r.dy);
    d->Compare("Zw - Zk", r.wgs84.Z - r.krassovsky.Z, r.dz);

    const GeocentricPoint w =
        GeographicLibPosition(kWgs84, Degrees(f.m_latDeg, f.m_latMin, f.m_latSec),
                              Degrees(f.m_lonDeg, f.m_lonMin, f.m_lonSec), f.m_geoH);
    d->CompareNear("Xw", r.wgs84.X, w.X, kPositionToleranceM);
    d->CompareNear("Yw", r.wgs84.Y, w.Y, kPositionToleranceM);
    d->CompareNear("Zw", r.wgs84.Z, w.Z, kPositionToleranceM);
    const GeocentricPoint k = GeographicLibPosition(kKrassovsky, point.inverseB / DEG_TO_RAD,
                                                    point.inverseL / DEG_TO_RAD, f.m_gridH);
    d->CompareNear("Xk", r.krassovsky.X, k.X, kPositionToleranceM);
    d->CompareNear("Yk", r.krassovsky.Y, k.Y, kPositionToleranceM);
    d->CompareNear("Zk", r.krassovsky.Z, k.Z, kPositionToleranceM);
  });
}

// The table's reader must refuse what it cannot take whole, or a damaged table would compare
// fewer points and still pass.
TEST(FrozenShiftsTable, DamagedLinesRefuseTheTable) {
  const std::string good =
      "0x1p+22 0x1.e848p+18 0x0p+0 117 31 37 0x1p+1 117 0 -0x0p+0 0x1p+5 -0x1p+4 -0x1p+7 -0x1p+5 "
      "0x1p-1 0x1p+1 0x1p-4";
  const struct {
    std::string line;
    std::string reason;
  } cases[] = {
      {good + " 0x1p+0", "line 2: 18 values, expected 17"},
      {good.substr(0, good.rfind(' ')), "line 2: 16 values, expected 17"},
      {"3500000" + good.substr(good.find(' ')),
       "line 2: column 1 (x): '3500000' is not a hexadecimal floating-point number"},
      {good + "q", "line 2: column 17 (Lk0): '0x1p-4q' is not a hexadecimal floating-point number"},
      {good.substr(0, good.find(" 117")) + " 117.0" + good.substr(good.find(" 117") + 4),
       "line 2: column 4 (L0): '117.0' is not an integer"},
  };
  for (const auto& c : cases) {
    std::istringstream in("# header\n" + c.line + "\n" + good + "\n");
    std::vector<FrozenPoint> points;
    EXPECT_EQ(ReadTable(in, &points), c.reason) << c.line;
  }

  std::istringstream in("# header\n\n" + good + "  # trailing comment\r\n");
  std::vector<FrozenPoint> points;
  ASSERT_EQ(ReadTable(in, &points), "");
  ASSERT_EQ(points.size(), 1u);
  EXPECT_EQ(points[0].line, 3u);
  EXPECT_TRUE(std::signbit(points[0].form.m_lonSec));  // a negative zero keeps its sign
}

}  // namespace
