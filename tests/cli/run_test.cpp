// zerb-shift run as a library and once as a process: refused lines with their numbers, exit
// statuses, the point from options, the dialog's bits, pass-through columns, the line reader.
#include "cli/run.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/line_reader.h"
#include "cli/options.h"
#include "geodesy/geodesy.h"
#include "tests/cli/support.h"

namespace zerb::test {
namespace {

int CountLines(const std::string& s) {
  return static_cast<int>(std::count(s.begin(), s.end(), '\n'));
}

TEST(RunShift, EveryRefusedLineIsReportedWithItsNumber) {
  const std::string good = "3380000,38500000,50,30:30:00,114:00:00,40";
  const std::string input = "x,y,h,B,L,H\r\n" + good + "\r\n" +                // 2
                            "\r\n" +                                           // 3: blank
                            "3380000,38500000,50,30:75:00,114:00:00,40\n" +    // 4
                            good + "\n" +                                      // 5
                            "3380000,24500000,50,30:30:00,114:00:00,40\n" +    // 6
                            "3380000,38500000,50\n" +                          // 7
                            "3380000,3500000,50,30:30:00,114:00:00,40\n" +     // 8
                            "3380000,38500000,abc,30:30:00,114:00:00,40\n" +   // 9
                            "\"3380000,38500000,50,30:30:00,114:00:00,40\n" +  // 10
                            good;  // 11: without a final newline, once read from a stale buffer
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
  const auto rows = Rows(r.out);
  ASSERT_EQ(rows.size(), 1u + 3u + 2u) << r.out;
  EXPECT_EQ(rows[1][0], "2");
  EXPECT_EQ(rows[2][0], "5");
  EXPECT_EQ(rows[3][0], "11");
}

TEST(RunShift, ExitStatuses) {
  for (const char* input :
       {"", "\n\n", "x,y,h,B,L,H\n", "x,y,h,B,L,H\n1,2,3,4,5,6\n", "x,y,B\n1,2,3\n"}) {
    const RunResult r = RunZerbShift({}, input);
    EXPECT_EQ(r.status, kExitNoPoint) << input;
    EXPECT_EQ(r.out, "") << input;
    EXPECT_NE(r.err, "") << input;
  }
  EXPECT_NE(
      RunZerbShift({}, "x,y,h,B,L,H\n1,2,3,4,5,6\n").err.find("no usable point (1 lines refused)"),
      std::string::npos);

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

// The same point typed into the dialog and given to zerb-shift as options or as a table row, in
// other notations: CSV prints a point's shift with every digit needed to read back the double
// that ComputeShift gives for the dialog's form, bit for bit.
TEST(RunShift, PointGivesTheDialogsBits) {
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

  const RunResult options =
      RunZerbShift({"-f", "csv", "--x", "3375626.2259", "--y", "38519160.5061", "--h", "91.9123",
                    "--B", "30 30 0.125S", "--L", "114.2020833333333333333333", "--H", "50"});
  const RunResult table = RunZerbShift(
      {"-f", "csv"}, "x,y,h,B,L,H\n3375626.2259,38519160.5061,91.9123,-30:30:0.125,114d12m7.5s,50");
  for (const RunResult& r : {options, table}) {
    ASSERT_EQ(r.status, kExitOk) << r.err;
    const auto rows = Rows(r.out);
    ASSERT_GE(rows.size(), 2u) << r.out;
    EXPECT_EQ(Bits(Number(rows[1].at(1))), Bits(dialog.m_dx)) << r.out;
    EXPECT_EQ(Bits(Number(rows[1].at(2))), Bits(dialog.m_dy)) << r.out;
    EXPECT_EQ(Bits(Number(rows[1].at(3))), Bits(dialog.m_dz)) << r.out;
  }
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

TEST(LineReader, LongLinesBomAndLineEnds) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
    std::vector<bool> too_long;  // cut at the capacity of 8, and reported as such
  };
  const Case cases[] = {
      {"\xEF\xBB\xBFx,y\r\nshort\n0123456789abcdef\nlast",
       {"x,y", "short", "01234567", "last"},
       {false, false, true, false}},
      {"1234567\n12345678\n123456789", {"1234567", "12345678", "12345678"}, {false, true, true}},
  };
  for (const Case& c : cases) {
    std::string data = c.text;
    std::FILE* f = fmemopen(data.data(), data.size(), "r");
    LineReader reader(f, 8);
    std::vector<std::string> lines;
    std::vector<bool> too_long;
    std::string_view line;
    while (reader.Next(&line)) {
      lines.emplace_back(line);
      too_long.push_back(reader.too_long());
      EXPECT_EQ(reader.number(), lines.size());
    }
    EXPECT_FALSE(reader.failed());
    std::fclose(f);
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(too_long, c.too_long);
  }
}

std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The program itself forwards its arguments, standard streams and exit status.
TEST(ZerbShiftProcess, ReadsStandardInputAndReportsRefusedLines) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("zerb-shift-test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "in") << "x,y,h,L0,B,L,H\n0,500000,0,0,0,0,0\n0,500000,0,0,0,0:61:0,0\n";
  const std::string command = std::string("'") + ZERB_SHIFT_PROGRAM + "' --format towgs84 <'" +
                              (dir / "in").string() + "' >'" + (dir / "out").string() + "' 2>'" +
                              (dir / "err").string() + "'";
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kExitRefused) << status;
  // The 108 m of the difference of the semi-major axes, as above.
  EXPECT_EQ(Slurp(dir / "out"), "+towgs84=-108.0000,0.0000,0.0000\n");
  EXPECT_EQ(Slurp(dir / "err"),
            "zerb-shift: <stdin>, line 3: column L '0:61:0': minutes outside 0 to 59\n");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace zerb::test
