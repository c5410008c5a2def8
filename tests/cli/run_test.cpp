// zerb-shift run as a library: refused lines with their numbers, exit statuses, the single
// point from options, pass-through columns, and the line reader's edge cases.
#include "cli/run.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>

#include "cli/line_reader.h"
#include "cli/options.h"
#include "geodesy/geodesy.h"
#include "tests/cli/run_helper.h"

namespace zerb::test {
namespace {

int CountLines(const std::string& s) {
  return static_cast<int>(std::count(s.begin(), s.end(), '\n'));
}

const char* const kGood = "3380000,38500000,50,30:30:00,114:00:00,40";

TEST(RunShift, EveryRefusedLineIsReportedWithItsNumber) {
  const std::string input = std::string("x,y,h,B,L,H\r\n") + kGood + "\r\n" +  // 2
                            "\r\n" +                                           // 3: blank
                            "3380000,38500000,50,30:75:00,114:00:00,40\n" +    // 4
                            kGood + "\n" +                                     // 5
                            "3380000,24500000,50,30:30:00,114:00:00,40\n" +    // 6
                            "3380000,38500000,50\n" +                          // 7
                            "3380000,3500000,50,30:30:00,114:00:00,40\n" +     // 8
                            "3380000,38500000,abc,30:30:00,114:00:00,40\n" +   // 9
                            "\"3380000,38500000,50,30:30:00,114:00:00,40\n" +  // 10
                            kGood;                                             // 11, no newline
  const RunResult r = RunZerbShift({"-f", "csv"}, input);
  EXPECT_EQ(r.status, kExitRefused);
  EXPECT_EQ(CountLines(r.err), 6) << r.err;
  for (int line : {4, 6, 7, 8, 9, 10}) {
    EXPECT_NE(r.err.find("zerb-shift: <stdin>, line " + std::to_string(line) + ": "),
              std::string::npos)
        << line << "\n"
        << r.err;
  }
  EXPECT_NE(r.err.find("line 4: column B '30:75:00': minutes outside 0 to 59"), std::string::npos);
  EXPECT_NE(r.err.find("line 7: 3 fields where the header has 6"), std::string::npos);
  // The three good points, each under its own line number, and nothing else.
  EXPECT_EQ(CountLines(r.out), 1 + 3 + 2) << r.out;
  EXPECT_NE(r.out.find("\n2,"), std::string::npos);
  EXPECT_NE(r.out.find("\n5,"), std::string::npos);
  EXPECT_NE(r.out.find("\n11,"), std::string::npos);
}

TEST(RunShift, NoUsablePointIsAFailure) {
  for (const std::string& input :
       {std::string(), std::string("\n\n"), std::string("x,y,h,B,L,H\n"),
        std::string("x,y,h,B,L,H\n1,2,3,4,5,6\n"), std::string("x,y,B\n1,2,3\n")}) {
    const RunResult r = RunZerbShift({}, input);
    EXPECT_EQ(r.status, kExitNoPoint) << input;
    EXPECT_EQ(r.out, "") << input;
    EXPECT_NE(r.err, "") << input;
  }
  EXPECT_NE(
      RunZerbShift({}, "x,y,h,B,L,H\n1,2,3,4,5,6\n").err.find("no usable point (1 lines refused)"),
      std::string::npos);
}

TEST(RunShift, UsageErrors) {
  using Args = std::vector<std::string_view>;
  for (const Args& args :
       {Args{"--bogus"}, Args{"--format"}, Args{"--format", "xml"}, Args{"--max-residual", "0"},
        Args{"--max-residual", "-1"}, Args{"--L0", "117.5"}, Args{"a.csv", "b.csv"},
        Args{"--x", "1", "--y", "2"},
        Args{"--x", "1", "--y", "2", "--h", "3", "--B", "4", "--L", "5", "--H", "6", "points.csv"},
        Args{"--keep-all=yes"}, Args{"-d", "ab"}, Args{"/nonexistent/zerb/points.csv"}}) {
    const RunResult r = RunZerbShift(args, "x,y,h,B,L,H\n");
    EXPECT_EQ(r.status, kExitUsage) << args[0];
    EXPECT_NE(r.err, "") << args[0];
  }
  const RunResult help = RunZerbShift({"--help"});
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_NE(help.out.find("Exit status"), std::string::npos);
  EXPECT_NE(help.out.find("Example"), std::string::npos);
}

double Shortest(const std::string& s) {
  double v = 0;
  std::from_chars(s.data(), s.data() + s.size(), v);
  return v;
}

// The case the geodetic core also knows by heart: both points on the equator at the prime
// meridian differ by the difference of the semi-major axes, 108 m.
TEST(RunShift, SinglePointFromOptions) {
  const RunResult r = RunZerbShift(
      {"--x", "0", "--y", "500000", "--h", "0", "--L0", "0", "--B", "0", "--L", "0", "--H", "0"});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.out, "dx =    -108.0000 m\ndy =       0.0000 m\ndz =       0.0000 m\n");

  const RunResult bad =
      RunZerbShift({"--x", "0", "--y", "500000", "--h", "0", "--B", "0", "--L", "0", "--H", "0"});
  EXPECT_EQ(bad.status, kExitNoPoint);
  EXPECT_NE(bad.err.find("no central meridian"), std::string::npos);
}

// CSV and JSON print a point's own values with every digit needed to read back the double that
// ComputeShift gave for the dialog's form: bit for bit.
TEST(RunShift, PointValuesReadBackToTheDialogsBits) {
  ShiftForm dialog;
  dialog.m_gridX = 3375626.2259;
  dialog.m_gridY = 519160.5061;
  dialog.m_gridH = 91.9123;
  dialog.m_latDeg = -30;
  dialog.m_latMin = 30;
  dialog.m_latSec = 0.125;
  dialog.m_lonDeg = 114;
  dialog.m_lonMin = 12;
  dialog.m_lonSec = 7.5;
  dialog.m_geoH = 50;
  dialog.m_centralMeridian = 114;
  ComputeShift(dialog);

  const std::vector<std::string_view> point = {"--x", "3375626.2259",
                                               "--y", "38519160.5061",
                                               "--h", "91.9123",
                                               "--B", "30 30 0.125S",
                                               "--L", "114.2020833333333333333333",
                                               "--H", "50"};
  std::vector<std::string_view> args = point;
  args.insert(args.end(), {"-f", "csv"});
  const RunResult csv = RunZerbShift(args);
  ASSERT_EQ(csv.status, kExitOk) << csv.err;
  // "line,dx,dy,dz,..." then ",dx,dy,dz,...": the point from options has no line number.
  const std::string row = csv.out.substr(csv.out.find('\n') + 2);
  std::vector<double> values;
  for (std::size_t start = 0; values.size() < 3;) {
    const std::size_t end = row.find(',', start);
    values.push_back(Shortest(row.substr(start, end - start)));
    start = end + 1;
  }
  EXPECT_EQ(std::bit_cast<std::uint64_t>(values[0]), std::bit_cast<std::uint64_t>(dialog.m_dx));
  EXPECT_EQ(std::bit_cast<std::uint64_t>(values[1]), std::bit_cast<std::uint64_t>(dialog.m_dy));
  EXPECT_EQ(std::bit_cast<std::uint64_t>(values[2]), std::bit_cast<std::uint64_t>(dialog.m_dz));
}

TEST(RunShift, ColumnsPassThroughWithTheirQuoting) {
  const std::string input =
      "code;name;x;y;h;B;L;H;note\n"
      "7;P 1;3380000;38500000;50;30:30:00;114:00:00;40;\"a;b\"\n";
  const RunResult r = RunZerbShift({"-d", ";", "-f", "csv"}, input);
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_TRUE(
      r.out.starts_with("line;name;code;note;dx;dy;dz;vx;vy;vz;v;flagged\n2;P 1;7;\"a;b\";"))
      << r.out;
}

std::vector<std::string> ReadAll(const std::string& text, std::size_t capacity,
                                 std::vector<bool>* too_long) {
  std::string data = text;
  std::FILE* f = fmemopen(data.data(), data.size(), "r");
  LineReader reader(f, capacity);
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.Next(&line)) {
    lines.emplace_back(line);
    too_long->push_back(reader.too_long());
    EXPECT_EQ(reader.number(), lines.size());
  }
  EXPECT_FALSE(reader.failed());
  std::fclose(f);
  return lines;
}

TEST(LineReader, LongLinesBomAndLineEnds) {
  std::vector<bool> too_long;
  const auto lines = ReadAll("\xEF\xBB\xBFx,y\r\nshort\n0123456789abcdef\nlast", 8, &too_long);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "x,y");
  EXPECT_EQ(lines[1], "short");
  EXPECT_EQ(lines[2], "01234567");  // cut at the capacity, and reported as such
  EXPECT_EQ(lines[3], "last");
  EXPECT_EQ(too_long, (std::vector<bool>{false, false, true, false}));

  too_long.clear();
  const auto exact = ReadAll("1234567\n12345678\n123456789", 8, &too_long);
  EXPECT_EQ(exact, (std::vector<std::string>{"1234567", "12345678", "12345678"}));
  EXPECT_EQ(too_long, (std::vector<bool>{false, true, true}));
}

}  // namespace
}  // namespace zerb::test
