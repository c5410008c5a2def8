// The text form of numbers in the dialog's fields: what is written reads back to the same bits,
// and the reader refuses anything that is not exactly one number.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "numtext/number_text.h"

namespace {

using zerb::numtext::FoldToAscii;
using zerb::numtext::FormatDouble;
using zerb::numtext::FormatInt;
using zerb::numtext::IsMinusZeroInt;
using zerb::numtext::ParseDouble;
using zerb::numtext::ParseInt;

std::uint64_t Bits(double x) {
  return std::bit_cast<std::uint64_t>(x);
}

TEST(NumberTextRoundTrip, EveryWrittenNumberReadsBackBitForBit) {
  constexpr double kMax = std::numeric_limits<double>::max();
  for (double x : {0.0, -0.0, 0.1, 1.0 / 3.0, 3378123.4567, 5e-324, 2.2250738585072014e-308, kMax,
                   -kMax, 1e21}) {
    const auto back = ParseDouble(FormatDouble(x));
    ASSERT_TRUE(back.has_value()) << FormatDouble(x);
    EXPECT_EQ(Bits(*back), Bits(x)) << FormatDouble(x);
  }
  // Random bit patterns cover every exponent and the full significand.
  std::mt19937_64 random(20261208);
  for (int i = 0; i < 100000; ++i) {
    const double x = std::bit_cast<double>(random());
    if (!std::isfinite(x))
      continue;
    const auto back = ParseDouble(FormatDouble(x));
    ASSERT_TRUE(back.has_value()) << FormatDouble(x);
    ASSERT_EQ(Bits(*back), Bits(x)) << FormatDouble(x);
  }
  for (int v : {0, -180, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()})
    EXPECT_EQ(ParseInt(FormatInt(v)), v);
}

// A non-finite result must not block the next conversion, which reads the results back too.
TEST(NumberTextRoundTrip, NonFiniteResultsReadBack) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(ParseDouble(FormatDouble(inf)), inf);
  EXPECT_EQ(ParseDouble(FormatDouble(-inf)), -inf);
  const auto nan = ParseDouble(FormatDouble(std::numeric_limits<double>::quiet_NaN()));
  ASSERT_TRUE(nan.has_value());
  EXPECT_TRUE(std::isnan(*nan));
}

TEST(NumberTextWriting, ShortestPlainForms) {
  EXPECT_EQ(FormatDouble(0.1), "0.1");
  EXPECT_EQ(FormatDouble(-108.0), "-108");
  EXPECT_EQ(FormatDouble(500000.0), "500000");  // a false easting, not "5e+05"
  EXPECT_EQ(FormatDouble(0.00001), "0.00001");
  EXPECT_EQ(FormatDouble(1e-7), "1e-07");
}

TEST(NumberTextReading, BlanksAroundAllowedGarbageRefused) {
  EXPECT_EQ(ParseDouble("  12.5 "), 12.5);
  EXPECT_EQ(ParseDouble("\t-3\t"), -3.0);
  EXPECT_EQ(ParseDouble("+4.25"), 4.25);
  EXPECT_EQ(ParseDouble("1e3"), 1000.0);
  EXPECT_EQ(ParseInt(" +60 "), 60);
  for (const char* bad : {"", "   ", "12.5x", "1 2", "--1", "+-1", "1,5", "x", "0x10"}) {
    EXPECT_FALSE(ParseDouble(bad).has_value()) << '"' << bad << '"';
    EXPECT_FALSE(ParseInt(bad).has_value()) << '"' << bad << '"';
  }
  EXPECT_FALSE(ParseInt("5.0").has_value());
  EXPECT_FALSE(ParseInt("5e1").has_value());
}

TEST(NumberTextReading, OverflowRefusedInsteadOfWrapped) {
  EXPECT_EQ(ParseInt("2147483647"), 2147483647);
  EXPECT_FALSE(ParseInt("2147483648").has_value());
  EXPECT_FALSE(ParseInt("-2147483649").has_value());
  EXPECT_FALSE(ParseInt("4294967413").has_value());  // 117 + 2^32 must not wrap to 117
  EXPECT_FALSE(ParseDouble("1e400").has_value());
  EXPECT_FALSE(ParseDouble("-1e400").has_value());
}

// A degrees field read "-0" as 0 and dropped the sign of the whole angle: -0 7 39 became the
// positive angle 0 7 39, about 14 km away. Zero with a minus sign is refused instead.
TEST(NumberTextReading, IntMinusZeroRefusedBecauseItsSignWouldBeLost) {
  for (const char* minusZero : {"-0", " -00 ", "－０"}) {
    EXPECT_FALSE(ParseInt(minusZero).has_value()) << '"' << minusZero << '"';
    EXPECT_TRUE(IsMinusZeroInt(minusZero)) << '"' << minusZero << '"';
  }
  EXPECT_EQ(ParseInt("0"), 0);
  EXPECT_EQ(ParseInt("+0"), 0);
  EXPECT_FALSE(IsMinusZeroInt("-1"));
  EXPECT_FALSE(IsMinusZeroInt("-0.0"));
  EXPECT_TRUE(ParseDouble("-0.0").has_value()) << "a double keeps its sign";
}

TEST(NumberTextReading, FullWidthFormsOfAnInputMethodReadAsAscii) {
  EXPECT_EQ(ParseDouble("３３７８０００．５"), 3378000.5);
  EXPECT_EQ(ParseDouble("－１２．２５"), -12.25);
  EXPECT_EQ(ParseInt("＋７"), 7);
  EXPECT_EQ(ParseInt("\u3000－９０\u3000"), -90);  // ideographic spaces around
  EXPECT_EQ(ParseDouble("１ｅ３"), 1000.0);
  EXPECT_FALSE(ParseDouble("１２。５").has_value());  // the ideographic full stop is no point
  EXPECT_FALSE(ParseInt("１２分").has_value());
  // The whole block, U+FF01 to U+FF5E, is Unicode's full-width forms of U+0021 to U+007E (its
  // Halfwidth and Fullwidth Forms); U+FF5F after it is none.
  std::string full_width, ascii;
  for (unsigned c = 0xFF01; c <= 0xFF5E; ++c) {
    full_width += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                   static_cast<char>(0x80 | (c & 0x3F))};
    ascii += static_cast<char>(c - 0xFF01 + 0x21);
  }
  EXPECT_EQ(FoldToAscii(full_width), ascii);
  EXPECT_EQ(FoldToAscii("\uFF5F"), "\uFF5F");
}

}  // namespace
