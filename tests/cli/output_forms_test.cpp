// The forms every output of zerb-shift is written in, held to the standards its readers follow:
// CSV fields quoted as RFC 4180 asks and every CSV row as wide as the header, and no zero printed
// with a minus sign (JSON: json_report_test.cpp).
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/cli/support.h"
#include "writers/output.h"

namespace zerb::test {
namespace {

// What write puts through an Output, as text.
template <class Write>
std::string Written(Write write) {
  std::FILE* file = std::tmpfile();
  {
    Output out(file);
    write(out);
  }
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;)
    text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

// RFC 4180: a field holding the delimiter, a double quote, a line feed or a carriage return is
// enclosed in double quotes, and a quote inside is doubled; a reader would otherwise end the
// field or the record there (a lone CR ends a line for many of them).
TEST(OutputForms, CsvFieldsAreQuotedWhereRfc4180AsksForIt) {
  const auto field = [](const std::string& text) {
    return Written([&](Output& out) { out.CsvField(text, ';'); });
  };
  EXPECT_EQ(field("GP01"), "GP01");
  EXPECT_EQ(field("a,b"), "a,b");  // the comma is no delimiter here
  EXPECT_EQ(field("a;b"), "\"a;b\"");
  EXPECT_EQ(field("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(field("two\nlines"), "\"two\nlines\"");
  EXPECT_EQ(field("two\rlines"), "\"two\rlines\"");
  EXPECT_EQ(field("点 7"), "点 7");
}

// A residual of -0.00004 m is no residual at 4 decimals; printed as -0.0000 it would read as a
// direction. Only what rounds away from zero keeps its sign.
TEST(OutputForms, NoZeroWithAMinusSign) {
  for (const double zero : {-0.0, -1e-12, -0.00004, -0.000049}) {
    EXPECT_EQ(Fixed(zero), "0.0000") << zero;
    EXPECT_EQ(Written([&](Output& out) { out.Fixed(zero, 8); }), "  0.0000") << zero;
  }
  EXPECT_EQ(Fixed(-0.00006), "-0.0001");
  EXPECT_EQ(Triple({-0.00001, 0.00001, -2.5}, ","), "0.0000,0.0000,-2.5000");
}

// The 4-decimal form is made by integer arithmetic for speed; it must be the text the standard
// library's to_chars writes (the exact binary value rounded, ties to even), digit for digit, as
// any report compared with an earlier one expects. Exact ties (k/32 m), values near a rounding
// boundary, tiny, huge and random ones.
TEST(OutputForms, FourDecimalsAreWhatToCharsWrites) {
  const auto reference = [](double value) {
    char text[400];
    const auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 4);
    std::string s(text, r.ptr);
    return s == "-0.0000" ? std::string("0.0000") : s;
  };
  std::vector<double> values = {0.0,       -0.0,    1.0 / 32,     3.0 / 32, -5.0 / 32,   2.5e-5,
                                -2.5e-5,   0.00005, 1.00005,      1e-300,   4.9e-324,    1e15,
                                -1.125e15, 0x1p50,  0x1p49 + 0.5, 0x1p-60,  12345.67895, 6378137.0};
  std::uint64_t state = 20261209;
  for (int i = 0; i < 200000; ++i) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    const double unit = static_cast<double>(state >> 11) * 0x1p-53;
    const int exponent = static_cast<int>(state % 64) - 30;
    values.push_back((state & 1 ? -1 : 1) * std::ldexp(unit, exponent));
    values.push_back(std::round(unit * 1e8) / 1e4 + 0.00005);  // near a tie
    // Near a tie at any magnitude the fast path covers, and the doubles either side of it.
    const double tie = (std::floor(std::ldexp(unit, exponent + 20)) + 0.5) / 10000;
    for (const double v : {tie, std::nextafter(tie, 0.0), std::nextafter(tie, 1e300)})
      values.push_back(v);
  }
  for (int k = -4000; k < 4000; ++k)
    values.push_back(k / 32.0);
  for (const double v : values)
    ASSERT_EQ(Fixed(v), reference(v)) << std::hexfloat << v;
}

// A column written through a memo of its last value reads as one written value by value,
// through repeats, changes, a negative zero after a zero and a value past the fast form's range.
TEST(OutputForms, AMemoizedColumnIsWrittenAsWithoutTheMemo) {
  const std::vector<double> column = {3.0,      3.0,   0.00005, 0.00005, 0.0,    -0.0,  -0.00006,
                                      -0.00006, 1e300, 1e300,   3.0,     5.4221, 5.4221};
  const std::string plain = Written([&](Output& out) {
    for (double v : column)
      out.Fixed(v) << ',';
  });
  const std::string memoized = Written([&](Output& out) {
    Output::FixedMemo memo;
    for (double v : column)
      out.Fixed(v, &memo) << ',';
  });
  EXPECT_EQ(memoized, plain);
}

// RFC 4180: each record of a CSV file has the same number of fields. The report's points and the
// rows of parameters under them share the header's columns, in both models.
TEST(OutputForms, EveryCsvRowIsAsWideAsTheHeader) {
  const std::string table =
      "name,x,y,h,L0,B,L,H\n"
      "GP01,4419971.693,39458259.110,92.591,117,39:54:44.4420,116:30:44.4420,52.317\n"
      "GP02,4435312.960,39477300.914,89.003,117,40:03:04.4424,116:44:04.2432,48.902\n"
      "GP03,4400117.957,39508728.211,101.427,117,39:44:04.2432,117:06:08.4420,61.455\n"
      "GP04,4452871.331,39531240.775,75.260,117,40:12:31.1234,117:21:57.8800,35.921\n";
  for (const char* model : {"3", "7"}) {
    const RunResult r = RunZerbShift({"--model", model, "-f", "csv"}, table);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = Rows(r.out.substr(0, r.out.find_last_not_of('\n') + 1));
    ASSERT_GT(rows.size(), 5u) << r.out;
    for (const auto& row : rows)
      EXPECT_EQ(row.size(), rows[0].size()) << "model " << model << ": " << row[0];
  }
}

// A seven-parameter fit's rotations and scale are uncorrelated with each other to the last bits
// only, of either sign; the text report printed those as -0.000.
TEST(OutputForms, CorrelationsThatRoundToZeroHaveNoSign) {
  const std::string table =
      "name,x,y,h,B,L,H\n"
      "GP01,4419971.693,39458259.110,92.591,39:54:44.4420,116:30:44.4420,52.317\n"
      "GP02,4435312.960,39477300.914,89.003,40:03:04.4424,116:44:04.2432,48.902\n"
      "GP03,4400117.957,39508728.211,101.427,39:44:04.2432,117:06:08.4420,61.455\n"
      "GP05,4385320.078,39491472.066,85.002,39:36:04.4424,116:54:04.4424,44.871\n"
      "GP06,4413718.251,39520977.912,98.070,39:51:24.4404,117:14:44.4408,58.220\n";
  const RunResult r = RunZerbShift({"--model", "7"}, table);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::size_t from = r.out.find("correlations:");
  ASSERT_NE(from, std::string::npos) << r.out;
  const std::string block = r.out.substr(from, r.out.find("outlier test", from) - from);
  EXPECT_NE(block.find(" 0.000"), std::string::npos) << block;
  EXPECT_EQ(block.find("-0.000"), std::string::npos) << block;
}

}  // namespace
}  // namespace zerb::test
