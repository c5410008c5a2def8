// The JSON report read back by RapidJSON's parser: its numbers against the CSV report of the same
// run, which other code writes and std::from_chars reads, and text that must survive JSON's
// escapes.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "tests/cli/support.h"

namespace zerb::test {
namespace {

// Six points of a seven-parameter fit, GP04 with a blunder of metres, a passed-through column.
const std::string kTable =
    "name,x,y,h,B,L,H,备注\n"
    "GP01,4419971.693,39458259.110,92.591,39:54:44.4420,116:30:44.4420,52.317,北\n"
    "GP02,4435312.960,39477300.914,89.003,40:03:04.4424,116:44:04.2432,48.902,东\n"
    "GP03,4400117.957,39508728.211,101.427,39:44:04.2432,117:06:08.4420,61.455,南\n"
    "GP04,4452871.331,39531240.775,75.260,40:12:31.1234,117:21:57.8800,35.921,西\n"
    "GP05,4385320.078,39491472.066,85.002,39:36:04.4424,116:54:04.4424,44.871,中\n"
    "GP06,4413718.251,39520977.912,98.070,39:51:24.4404,117:14:44.4408,58.220,\n";

// The CSV prints derived values with 4 decimals and rotations and scale with 6: the two reports
// agree to half the last of them, 0.05 mm (0.00005 of a test statistic), 5e-7 arc-seconds.
constexpr double kDecimals4 = 0.00005;
constexpr double kDecimals6 = 0.0000005;

TEST(JsonReport, SaysWhatTheCsvReportOfTheSameRunSays) {
  const std::vector<std::string_view> args = {"--model", "7", "--check", "GP06"};
  std::vector<std::string_view> csv_args = args, json_args = args;
  csv_args.insert(csv_args.end(), {"-f", "csv"});
  json_args.insert(json_args.end(), {"-f", "json"});
  const RunResult csv = RunZerbShift(csv_args, kTable);
  const RunResult text = RunZerbShift(json_args, kTable);
  ASSERT_EQ(csv.status, kExitOk) << csv.err;
  ASSERT_EQ(text.status, kExitOk) << text.err;
  rapidjson::Document json;
  ASSERT_TRUE(ParseJson(text.out, &json)) << text.out;

  const auto rows = Rows(csv.out.substr(0, csv.out.find_last_not_of('\n') + 1));
  std::map<std::string, std::size_t> column;
  for (std::size_t c = 0; c < rows[0].size(); ++c)
    column[rows[0][c]] = c;
  ASSERT_EQ(At(json, "/points").Size(), 6u) << text.out;
  ASSERT_GE(rows.size(), 7u) << csv.out;
  bool flagged = false, check = false;
  for (std::size_t i = 0; i < 6; ++i) {
    const std::vector<std::string>& row = rows[1 + i];
    const auto cell = [&](const char* title) { return row.at(column.at(title)); };
    const std::string point = "/points/" + std::to_string(i) + "/";
    SCOPED_TRACE(cell("name"));
    EXPECT_EQ(NumberAt(json, point + "line"), Number(cell("line")));
    EXPECT_EQ(TextAt(json, point + "name"), cell("name"));
    EXPECT_EQ(TextAt(json, point + "columns/备注"), cell("备注"));
    // Both print the shift in the shortest form that reads back as the same double.
    for (const char* d : {"dx", "dy", "dz"})
      EXPECT_EQ(Bits(NumberAt(json, point + d)), Bits(Number(cell(d)))) << d;
    const std::pair<const char*, const char*> derived[] = {
        {"residual/x", "vx"},
        {"residual/y", "vy"},
        {"residual/z", "vz"},
        {"residual_neu/north", "vN"},
        {"residual_neu/east", "vE"},
        {"residual_neu/up", "vU"},
        {"v", "v"},
        {"gross_error_length", "gross_error"},
        {"redundancy_sum", "r"},
        {"test/statistic", "T"},
        {"test/critical", "T_crit"},
        {"test/mdb/north", "mdb_N"},
        {"test/mdb/east", "mdb_E"},
        {"test/mdb/up", "mdb_U"},
    };
    for (const auto& [key, title] : derived) {
      if (cell(title).empty()) {
        EXPECT_TRUE(At(json, point + key).IsNull()) << key;  // not in the fit, or not tested
      } else {
        EXPECT_NEAR(NumberAt(json, point + key), Number(cell(title)), kDecimals4) << key;
      }
    }
    EXPECT_TRUE(At(json, point + "used").IsBool());
    EXPECT_EQ(At(json, point + "flagged").IsTrue(), cell("flagged") == "1");
    EXPECT_EQ(At(json, point + "check").IsTrue(), cell("check") == "1");
    EXPECT_EQ(At(json, point + "flag_test").IsObject(), cell("flagged") == "1");
    flagged = flagged || cell("flagged") == "1";
    check = check || cell("check") == "1";
  }
  EXPECT_TRUE(flagged && check) << csv.out;  // the comparison saw both kinds of point

  // The parameters' rows, under the dx, dy, dz columns.
  std::map<std::string, std::vector<std::string>> named;
  for (const auto& row : rows)
    named[row[0]] = row;
  const std::size_t dx = column.at("dx");
  ASSERT_EQ(named.count("translation") + named.count("rotation") + named.count("scale"), 3u);
  const char* axes[3] = {"x", "y", "z"};
  for (int k = 0; k < 3; ++k) {
    const std::string axis = axes[k];
    EXPECT_NEAR(NumberAt(json, "/parameters/t" + axis + "/value"),
                Number(named["translation"].at(dx + k)), kDecimals4)
        << axis;
    EXPECT_NEAR(NumberAt(json, "/parameters/r" + axis + "/value"),
                Number(named["rotation"].at(dx + k)), kDecimals6)
        << axis;
  }
  EXPECT_NEAR(NumberAt(json, "/parameters/s/value"), Number(named["scale"].at(dx)), kDecimals6);
  EXPECT_EQ(TextAt(json, "/convention"), named["convention"].at(dx));
  EXPECT_NEAR(NumberAt(json, "/sigma0"), Number(named["sigma0"].at(dx)), kDecimals4);
}

// JSON must escape U+0000 to U+001F in a string; a quote, a backslash, DEL and Chinese text pass
// as they are or escaped, and every one must read back to the same text, in a name and in a
// passed-through column. A line feed or carriage return cannot be in a field of the table.
TEST(JsonReport, NameWithControlCharactersAndChineseTextReadsBackTheSame) {
  std::string name = "点";
  for (char c = 0; c < 0x20; ++c) {
    if (c != '\n' && c != '\r')
      name += c;
  }
  name += "\"\\\x7f 控制点 7";
  std::string quoted = "\"";
  for (char c : name) {
    if (c == '"')
      quoted += '"';
    quoted += c;
  }
  quoted += '"';
  const RunResult r = RunZerbShift(
      {"-f", "json"}, "name,x,y,h,B,L,H,备注\n" + quoted +
                          ",3380000.123,38500000.456,12.3,30:32:22.827,114:00:00.017,25.1," +
                          quoted + "\n");
  ASSERT_EQ(r.status, kExitOk) << r.err;
  rapidjson::Document json;
  ASSERT_TRUE(ParseJson(r.out, &json)) << r.out;
  EXPECT_EQ(TextAt(json, "/points/0/name"), name);
  EXPECT_EQ(TextAt(json, "/points/0/columns/备注"), name);
}

}  // namespace
}  // namespace zerb::test
