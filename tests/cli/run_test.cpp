// zerb-shift run as a library and as a process: exit statuses, the dialog's bits through options
// and a table, pass-through columns, the line reader, refused lines with their numbers.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "geodesy/geodesy.h"
#include "readers/line_reader.h"
#include "tests/cli/support.h"

namespace zerb::test {
namespace {

using geodesy::ComputeShift;
using geodesy::ShiftForm;

TEST(RunShift, ExitStatuses) {
  // No usable point: nothing at all, no header, no row, only refused rows, a header that lacks a
  // column ("X" and "b" are no grid or WGS-84 columns) or has one twice.
  for (const char* input :
       {"", "\n\n", "x,y,h,B,L,H\n", "x,y,h,B,L,H\n1,2,3,4,5,6\n", "x,y,B\n1,2,3\n",
        "X,y,h,b,L,H\n1,2,3,4,5,6\n", "x,y,h,B,L,H,x\n1,2,3,4,5,6,7\n",
        "x,y,h,B,L,H,name,id\n1,2,3,4,5,6,7,8\n"}) {
    const RunResult r = RunZerbShift({}, input);
    EXPECT_EQ(r.status, kExitNoPoint) << input;
    EXPECT_EQ(r.out, "") << input;
    EXPECT_NE(r.err, "") << input;
  }
  EXPECT_EQ(
      RunZerbShift({"--x", "0", "--y", "500000", "--h", "0", "--B", "0", "--L", "0", "--H", "0"})
          .status,
      kExitNoPoint);  // a point from options, refused for want of L0

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
  const std::string no_point = RunZerbShift({}, "x,y,h,B,L,H\n1,2,3,4,5,6\n").err;
  EXPECT_NE(no_point.find("no usable point (1 line refused)"), std::string::npos) << no_point;
  // Letters are case-sensitive (X is also the northing, b is nothing), and the refusal lists
  // every title that would have been taken.
  const std::string missing = RunZerbShift({}, "X,y,h,b,L\n").err;
  EXPECT_NE(missing.find("line 1: the header 'X,y,h,b,L' lacks the column(s) B (B, lat, "
                         "Latitude, 纬度, 纬度B); H (H, 大地高, 椭球高, 大地高H)"),
            std::string::npos)
      << missing;
  const RunResult help = RunZerbShift({"--help"});
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_NE(help.out.find("Exit status"), std::string::npos);
  EXPECT_NE(help.out.find("Example"), std::string::npos);
}

// The same point typed into the dialog and given to zerb-shift as options or as a table row, in
// other notations: CSV prints a point's shift with every digit needed to read back the double
// that ComputeShift gives for the dialog's form, bit for bit.
TEST(RunShift, PointGivesTheDialogsBits) {
  ShiftForm dialog{.m_gridH = 91.9123,
                   .m_gridX = -3375626.2259,
                   .m_gridY = 519360.5061,
                   .m_latDeg = -30,
                   .m_latMin = 30,
                   .m_latSec = 0.125,
                   .m_geoH = 50,
                   .m_lonDeg = 114,
                   .m_lonMin = 12,
                   .m_lonSec = 7.5,
                   .m_centralMeridian = 114};
  ComputeShift(dialog);

  const RunResult options = RunZerbShift(
      {"--projection", "dialog", "-f", "csv", "--x", "-3375626.2259", "--y", "38519360.5061", "--h",
       "91.9123", "--B", "30 30 0.125S", "--L", "114.2020833333333333333333", "--H", "50"});
  const RunResult table =
      RunZerbShift({"--projection", "dialog", "-f", "csv"},
                   "x,y,h,B,L,H\n-3375626.2259,38519360.5061,91.9123,-30:30:0.125,114d12m7.5s,50");
  for (const RunResult& r : {options, table}) {
    ASSERT_EQ(r.status, kExitOk) << r.err;
    const auto rows = Rows(r.out);
    ASSERT_GE(rows.size(), 2u) << r.out;
    EXPECT_EQ(Bits(Number(rows[1].at(1))), Bits(dialog.m_dx)) << r.out;
    EXPECT_EQ(Bits(Number(rows[1].at(2))), Bits(dialog.m_dy)) << r.out;
    EXPECT_EQ(Bits(Number(rows[1].at(3))), Bits(dialog.m_dz)) << r.out;
  }
}

// Columns in any order, h and H told apart by case, an ID as the name, other columns passed
// through, blanks around a quoted field and an empty one too: quoted again in CSV where they hold
// the delimiter or a quote, escaped in JSON.
TEST(RunShift, HeaderNamesTheColumnsAndTheRestPassesThrough) {
  const std::string input =
      "code;H;L;B;h;y;x;ID;note;spare\n"
      "7;40;114:00:00;30:30:00;50;38500000;3375650;\"A\tB\";  \"say \"\"hi\"\" \\ back;x\" ;\n";
  const RunResult csv = RunZerbShift({"-d", ";", "-f", "csv"}, input);
  ASSERT_EQ(csv.status, kExitOk) << csv.err;
  EXPECT_TRUE(csv.out.starts_with(
      "line;ID;code;note;spare;dx;dy;dz;vx;vy;vz;vN;vE;vU;v;r;T;T_crit;mdb_N;mdb_E;mdb_U;"
      "gross_error;flagged;check\n"
      "2;A\tB;7;\"say \"\"hi\"\" \\ back;x\";;"))
      << csv.out;
  const std::string text = RunZerbShift({"-d", ";", "-f", "json"}, input).out;
  rapidjson::Document json;
  ASSERT_TRUE(ParseJson(text, &json)) << text;
  EXPECT_EQ(TextAt(json, "/points/0/name"), "A\tB");
  EXPECT_EQ(TextAt(json, "/points/0/columns/code"), "7");
  EXPECT_EQ(TextAt(json, "/points/0/columns/note"), "say \"hi\" \\ back;x");
  EXPECT_EQ(TextAt(json, "/points/0/columns/spare"), "");
  EXPECT_EQ(At(json, "/points/0/columns").MemberCount(), 3u) << text;
  // The check itself refuses what is no JSON, and the extensions of lenient parsers: comments,
  // NaN, a leading zero, a byte order mark, bytes after a NUL, a string that is not UTF-8.
  for (const std::string& broken :
       std::vector<std::string>{"[1,]", "{\"a\" 1}", "{\"a\":1", "[\"\t\"]", "[1 2]", "{1:2}",
                                "[1] // note", "[NaN]", "[01]", "\xEF\xBB\xBF[1]",
                                std::string("[1]\0[2]", 7), "[\"\xC0\xAF\"]", "[\"\xED\xA0\x80\"]"})
    EXPECT_FALSE(IsJson(broken)) << broken;
}

// Lines cut at the reader's capacity (8 bytes with the newline here) are reported as too long,
// exactly at the boundary too; a byte order mark and CR LF are dropped; the last line, without a
// newline, is read where the buffer was compacted to (it was once read from a stale position).
TEST(LineReader, LongLinesBomAndLineEnds) {
  std::string data = "\xEF\xBB\xBFx,y\r\n1234567\n12345678\n0123456789abcdef\n123456789\nlast";
  std::FILE* f = fmemopen(data.data(), data.size(), "r");
  LineReader reader(f, 8);
  std::vector<std::string> lines;
  std::vector<bool> too_long;
  for (std::string_view line; reader.Next(&line);) {
    lines.emplace_back(line);
    too_long.push_back(reader.too_long());
    EXPECT_EQ(reader.number(), lines.size());
  }
  EXPECT_FALSE(reader.failed());
  std::fclose(f);
  EXPECT_EQ(lines, (std::vector<std::string>{"x,y", "1234567", "12345678", "01234567", "12345678",
                                             "last"}));
  EXPECT_EQ(too_long, (std::vector<bool>{false, false, true, true, true, false}));
}

// The built program run by the shell on input with args; returns what it wrote to the stream
// that the redirection in args leaves on the pipe, and its exit status.
std::string Shell(const std::string& input, const std::string& args, int* status) {
  std::string command = "printf '";
  for (char c : input)
    command += c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
  command += std::string("' | '") + ZERB_SHIFT_PROGRAM + "' " + args;
  std::FILE* pipe = popen(command.c_str(), "r");
  std::string text;
  for (int c; (c = std::fgetc(pipe)) != EOF;)
    text += static_cast<char>(c);
  *status = pclose(pipe);
  return text;
}

// The program itself on standard input: each good point goes to standard output under its own
// line number, every refused line to standard error with its number and reason, and the exit
// status says that lines were refused.
TEST(ZerbShiftProcess, EveryRefusedLineIsReportedWithItsNumber) {
  // Both points on the equator at the prime meridian, each a semi-major axis from the centre: the
  // shift is their difference, exactly -108 m.
  const std::string good = "0,500000,0,0,0,0,0";
  const std::string input = "x,y,h,L0,B,L,H\r\n" + good + "\r\n" +                 // 2
                            "\r\n" +                                               // 3: blank
                            "3380000,38500000,50,,30:75:00,114:00:00,40\n" +       // 4
                            good + "\n" +                                          // 5
                            "3380000,24500000,50,,30:30:00,114:00:00,40\n" +       // 6
                            "3380000,38500000,50\n" +                              // 7
                            "3380000,3500000,50,,30:30:00,114:00:00,40\n" +        // 8
                            "3380000,38500000,abc,,30:30:00,114:00:00,40\n" +      // 9
                            "\"3380000,38500000,50,,30:30:00,114:00:00,40\n" +     // 10
                            "\"3380000\"x,38500000,50,,30:30:00,114:00:00,40\n" +  // 11
                            good;                                                  // 12
  int status = -1;
  const auto rows = Rows(Shell(input, "--format csv 2>/dev/null", &status));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kExitRefused) << status;
  ASSERT_EQ(rows.size(), 1u + 3u + 2u);
  for (int i : {1, 2, 3}) {
    EXPECT_EQ(rows[i][0], i == 1 ? "2" : i == 2 ? "5" : "12");
    EXPECT_EQ(rows[i][1], "-108");
  }
  const std::string err = Shell(input, "--format csv 2>&1 >/dev/null", &status);
  const std::string prefix = "zerb-shift: <stdin>, line ";
  std::vector<int> numbers;  // of the lines reported, one message each
  for (std::size_t at = 0; (at = err.find(prefix, at)) != std::string::npos; at += prefix.size())
    numbers.push_back(std::atoi(err.c_str() + at + prefix.size()));
  EXPECT_EQ(numbers, (std::vector<int>{4, 6, 7, 8, 9, 10, 11})) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 7) << err;
  for (const char* says :
       {"line 4: column B '30:75:00': minutes outside 0 to 59\n",
        "line 7: 3 fields where the header has 7\n", "line 11: text after a closing quote\n"}) {
    EXPECT_NE(err.find(says), std::string::npos) << says << " in\n" << err;
  }
}

// The projection decides the shifts to a millimetre, so each report says which one was used.
TEST(RunShift, ReportsNameTheProjectionUsed) {
  const std::string input =
      "x,y,h,B,L,H\n3375650,38500000,50,30:30:00,114:00:00,40\n"
      "3385650,38510000,52,30:35:25,114:06:15,42\n";
  EXPECT_NE(RunZerbShift({"-f", "json"}, input).out.find(R"("projection":"exact")"),
            std::string::npos);
  EXPECT_NE(RunZerbShift({"--projection", "dialog", "-f", "json"}, input)
                .out.find(R"("projection":"dialog")"),
            std::string::npos);
  EXPECT_NE(RunZerbShift({}, input).out.find(
                "grid positions inverse projected by the exact transverse Mercator\n"),
            std::string::npos);
  EXPECT_NE(RunZerbShift({"--projection", "dialog"}, input)
                .out.find("grid positions inverse projected by the dialog's series"),
            std::string::npos);
}

// One point has no redundancy: its parameters' standard deviations are unknown, not zero (a zero
// read as "exactly known").
TEST(RunShift, NoRedundancyGivesNoStandardDeviation) {
  const RunResult one =
      RunZerbShift({"-f", "json", "--x", "4419971.693", "--y", "39458259.110", "--h", "92.591",
                    "--B", "39:54:44.442", "--L", "116:30:44.442", "--H", "52.317"});
  ASSERT_EQ(one.status, kExitOk) << one.err;
  EXPECT_NE(one.out.find(R"("sd":null)"), std::string::npos) << one.out;
  EXPECT_EQ(one.out.find(R"("sd":0)"), std::string::npos) << one.out;
}

// Two titles that read alike were told apart by nothing: the columns' numbers say which.
TEST(RunShift, TwoColumnsOfOneFieldAreNamedByTheirPlaces) {
  const RunResult r = RunZerbShift({}, "name,x,y,h,H,B,L,H\nP1,1,2,3,4,5,6,7\n");
  EXPECT_NE(r.err.find("columns 5 ('H') and 8 ('H') both name the H column"), std::string::npos)
      << r.err;
}

// One point given as options: a refusal names the option, not a column the user never wrote.
TEST(RunShift, RefusedOptionValueIsNamedByItsOption) {
  const RunResult r = RunZerbShift({"--x", "abc", "--y", "39458259.110", "--h", "92.591", "--B",
                                    "39:54:44.442", "--L", "116:30:44.442", "--H", "52.317"});
  EXPECT_NE(r.err.find("the point is refused: --x 'abc': not a decimal number"), std::string::npos)
      << r.err;
}

}  // namespace
}  // namespace zerb::test
