// The readers on the files surveyors bring: the column titles and units they write, the rows of
// delimiters Excel appends, GBK and UTF-16 as Windows saves them, and inputs that are not plain
// files (a directory, a device, a named pipe, a file that cannot be read).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <iconv.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "cli/exit_status.h"
#include "cli/readers/columns.h"
#include "cli/text.h"
#include "tests/cli/support.h"

namespace zerb::test {
namespace {

// The README's example points (zone 39, L0 117), both sides of each in one row: name, x, y, h,
// B, L, H. Their report read back is the reference every other way of writing them must give.
constexpr const char* kPoints[][7] = {
    {"GP01", "4419971.693", "39458259.110", "92.591", "39:54:44.4420", "116:30:44.4420", "52.317"},
    {"GP02", "4435312.960", "39477300.914", "89.003", "40:03:04.4424", "116:44:04.2432", "48.902"},
    {"GP03", "4400117.957", "39508728.211", "101.427", "39:44:04.2432", "117:06:08.4420", "61.455"},
    {"GP04", "4443360.124", "39530367.371", "114.734", "40:07:24.4416", "117:21:24.4404", "75.030"},
};

const std::vector<std::string> kPlainTitles = {"name", "x", "y", "h", "B", "L", "H"};

std::string Row(const std::vector<std::string>& cells, char delim) {
  std::string row;
  for (const std::string& c : cells)
    row += (row.empty() ? "" : std::string(1, delim)) + c;
  return row;
}

// Example point i as a row.
std::string PointRow(int i, char delim) {
  const auto& p = kPoints[i];
  return Row({p[0], p[1], p[2], p[3], p[4], p[5], p[6]}, delim);
}

// The example points under titles (in the order of kPlainTitles).
std::string Table(const std::vector<std::string>& titles, char delim = ',',
                  const std::string& eol = "\n") {
  std::string table = Row(titles, delim) + eol;
  for (int i = 0; i < 4; ++i)
    table += PointRow(i, delim) + eol;
  return table;
}

// The rows of a CSV report after its header, which carries the name column's title.
std::vector<std::vector<std::string>> Body(const std::string& csv) {
  std::vector<std::vector<std::string>> rows = Rows(csv);
  if (!rows.empty())
    rows.erase(rows.begin());
  return rows;
}

// Files in a fresh folder of their own, removed with the fixture.
class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zerb-readers-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = dir_ + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
  }
  std::string dir_;
};

// ---- Column titles ----

// Chinese and English titles as surveying tables carry them give the same report as the short
// ones; 纵坐标 taken for the easting would refuse every row (7-digit eastings do not exist).
TEST(ColumnTitles, SurveyorsTitlesReadAsTheShortOnes) {
  const RunResult plain = RunZerbShift({"-f", "csv"}, Table(kPlainTitles));
  ASSERT_EQ(plain.status, kExitOk) << plain.err;
  const std::vector<std::vector<std::string>> titles = {
      {"点名", "X坐标", "Y坐标", "高程h", "纬度B", "经度L", "大地高H"},
      {"点号", "纵坐标", "横坐标", "正常高h", "Latitude", "Longitude", "大地高H"},
      {"name", "Northing", "Easting", "高程", "LATITUDE", "longitude", "大地高"},
      {"id", "NORTHING", "easting", "正常高", "latitude", "LONGITUDE", "椭球高"},
  };
  for (const auto& t : titles) {
    const RunResult r = RunZerbShift({"-f", "csv"}, Table(t));
    EXPECT_EQ(r.status, kExitOk) << t[1] << "\n" << r.err;
    EXPECT_EQ(Body(r.out), Body(plain.out)) << t[1];
  }
}

// In a file of one side any height title is that side's height: 大地高H in a grid file is h,
// 高程h in a WGS-84 file is H.
TEST_F(Files, OneSideFileTakesAnyHeightTitle) {
  std::string grid = "点名,X坐标,Y坐标,大地高H\n", wgs84 = "点名,纬度B,经度L,高程h\n";
  std::string plain_grid = "name,x,y,h\n", plain_wgs84 = "name,B,L,H\n";
  for (const auto& p : kPoints) {
    const std::string g = std::string(p[0]) + "," + p[1] + "," + p[2] + "," + p[3] + "\n";
    const std::string w = std::string(p[0]) + "," + p[4] + "," + p[5] + "," + p[6] + "\n";
    grid += g, plain_grid += g, wgs84 += w, plain_wgs84 += w;
  }
  const RunResult titled =
      RunZerbShift({"-f", "csv", "--grid", Write("g.csv", grid), "--wgs84", Write("w.csv", wgs84)});
  const RunResult plain = RunZerbShift({"-f", "csv", "--grid", Write("pg.csv", plain_grid),
                                        "--wgs84", Write("pw.csv", plain_wgs84)});
  ASSERT_EQ(plain.status, kExitOk) << plain.err;
  EXPECT_EQ(titled.status, kExitOk) << titled.err;
  EXPECT_EQ(Body(titled.out), Body(plain.out));
}

// No title names two fields of the files that take them. Only h and H are one title but for
// their case, which is how a table of both sides tells its heights apart.
TEST(ColumnTitles, NoTitleNamesTwoFields) {
  const auto lower = [](std::string s) {
    for (char& c : s)
      c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    return s;
  };
  const std::vector<std::pair<Side, std::vector<Field>>> files = {
      {Side::kBoth,
       {kName, kNorth, kEast, kGridHeight, kMeridian, kLatitude, kLongitude, kEllipsoidalHeight,
        kRole}},
      {Side::kGrid, {kName, kNorth, kEast, kGridHeight, kMeridian, kRole}},
      {Side::kWgs84, {kName, kLatitude, kLongitude, kEllipsoidalHeight, kRole}},
  };
  for (const auto& [side, fields] : files) {
    std::vector<std::pair<Field, std::string>> titles;
    for (Field f : fields) {
      const std::string list = AcceptedTitles(f, side) + ", ";
      for (std::size_t at = 0, comma; (comma = list.find(", ", at)) != std::string::npos;
           at = comma + 2) {
        titles.emplace_back(f, list.substr(at, comma - at));
      }
    }
    for (const auto& [f, t] : titles) {
      for (const auto& [g, u] : titles) {
        if (f == g)
          continue;
        EXPECT_NE(t, u) << FieldName(f) << " and " << FieldName(g);
        if (!((t == "h" && u == "H") || (t == "H" && u == "h"))) {
          EXPECT_NE(lower(t), lower(u)) << FieldName(f) << " and " << FieldName(g);
        }
      }
    }
  }
}

// ---- Units in titles ----

// A unit in ASCII or full-width parentheses, with or without a blank before it, is taken off to
// find the field; the title stays whole in the messages, and a passed-through column keeps its
// unit.
TEST(TitleUnits, UnitInParenthesesIsTakenOffTheTitle) {
  std::vector<std::string> plain = kPlainTitles;
  plain.emplace_back("备注(mm)");
  const std::vector<std::string> with_units = {"点名",    "X(m)",        "Y（m）",     "高程 (米)",
                                               "纬度(°)", "经度（deg）", "H (metres)", "备注(mm)"};
  const auto table = [](const std::vector<std::string>& titles) {
    std::string t = Row(titles, ',') + "\n";
    for (const auto& p : kPoints)
      t += Row({p[0], p[1], p[2], p[3], p[4], p[5], p[6], "12"}, ',') + "\n";
    return t + Row({"GP09", "4419971.693", "39458259.110", "92.591", "abc", "116", "1", ""}, ',');
  };
  const RunResult reference = RunZerbShift({"-f", "csv"}, table(plain));
  const RunResult r = RunZerbShift({"-f", "csv"}, table(with_units));
  ASSERT_EQ(reference.status, kExitRefused) << reference.err;
  EXPECT_EQ(r.status, kExitRefused) << r.err;
  EXPECT_EQ(Body(r.out), Body(reference.out));
  EXPECT_TRUE(r.out.starts_with("line,点名,备注(mm),dx,")) << r.out;
  EXPECT_EQ(r.err, "zerb-shift: <stdin>, line 6: column 纬度(°) 'abc': not a number\n");
}

// Feet, kilometres, millimetres, radians or gon would give a wrong answer read as metres or
// degrees: the header is refused, naming the column, its unit and the units read.
TEST(TitleUnits, UnitThatDoesNotSuitTheColumnRefusesTheFile) {
  const std::string lengths = "lengths are read in m, 米, metre, metres, meter, meters";
  const std::string angles =
      "angles are read in °, deg, degree, degrees, 度, or written apart in dms, d:m:s, dd:mm:ss, "
      "ddd:mm:ss, °′″, 度分秒";
  struct Case {
    int column;  // in the order of kPlainTitles
    std::string title;
    std::string message;
  };
  const Case cases[] = {
      {1, "X(ft)", "column 'X(ft)' (north): the unit 'ft' is not metres: " + lengths},
      {1, "X(M)", "column 'X(M)' (north): the unit 'M' is not metres"},
      {2, "Y（km）", "column 'Y（km）' (east): the unit 'km' is not metres"},
      {3, "高程(cm)", "column '高程(cm)' (h): the unit 'cm' is not metres"},
      {6, "大地高H (mm)", "column '大地高H (mm)' (H): the unit 'mm' is not metres"},
      {4, "纬度(rad)", "column '纬度(rad)' (B): the unit 'rad' is not degrees: " + angles},
      {5, "L(gon)", "column 'L(gon)' (L): the unit 'gon' is not degrees"},
      {0, "点名(m)", "column '点名(m)' (name): the column takes no unit, yet gives 'm'"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> titles = kPlainTitles;
    titles[c.column] = c.title;
    const RunResult r = RunZerbShift({"-f", "csv"}, Table(titles));
    EXPECT_EQ(r.status, kExitNoPoint) << c.title;
    EXPECT_EQ(r.out, "") << c.title;
    EXPECT_TRUE(r.err.starts_with("zerb-shift: <stdin>, line 1: " + c.message)) << r.err;
  }
}

// A column marked dms or 度分秒 holds degrees, minutes and seconds apart: a decimal number there
// is a calculator's packed dd.mmss (39.544442 for 39°54′44.42″), which read as degrees would put
// the point 40 km off, so it is refused. Marked in degrees, the decimal is degrees.
TEST(TitleUnits, PackedDmsIsRefusedWhereTheTitleSaysDms) {
  const RunResult reference = RunZerbShift({"-f", "csv"}, Table(kPlainTitles));
  ASSERT_EQ(reference.status, kExitOk) << reference.err;
  for (const char* title : {"纬度(dms)", "B（度分秒）", "B (d:m:s)"}) {
    std::vector<std::string> titles = kPlainTitles;
    titles[4] = title;
    const RunResult apart = RunZerbShift({"-f", "csv"}, Table(titles));
    EXPECT_EQ(apart.status, kExitOk) << title << apart.err;
    EXPECT_EQ(Body(apart.out), Body(reference.out)) << title;
    const RunResult packed =
        RunZerbShift({"-f", "csv"}, Row(titles, ',') +
                                        "\nGP01,4419971.693,39458259.110,92.591,"
                                        "39.544442,116:30:44.4420,52.317\n");
    EXPECT_EQ(packed.status, kExitNoPoint) << title;
    EXPECT_NE(packed.err.find("line 2: column " + std::string(title) +
                              " '39.544442': a decimal number where the title says degrees, "
                              "minutes and seconds (packed dd.mmss is not read"),
              std::string::npos)
        << packed.err;
  }
  // 39:54:44.4420 is 39.912345 degrees exactly.
  const RunResult degrees = RunZerbShift({"-f", "csv"},
                                         "name,x,y,h,B(°),L,H\nGP01,4419971.693,39458259.110,92."
                                         "591,39.912345,116:30:44.4420,52.317\n");
  ASSERT_EQ(degrees.status, kExitOk) << degrees.err;
  const auto shift = [](const std::string& csv) {  // line, name, dx, dy, dz of the first point
    const std::vector<std::string> row = Rows(csv).at(1);
    return std::vector<std::string>(row.begin(), row.begin() + 5);
  };
  EXPECT_EQ(shift(degrees.out), shift(reference.out));
}

// ---- Rows of delimiters only ----

// Excel writes rows of empty cells below a table (",,,,,,"): blank lines, neither read nor
// refused, while the lines after them keep their numbers. Line 9 is refused as line 9.
TEST(DelimiterRows, RowsOfOnlyDelimitersAreBlankNotRefused) {
  for (const char delim : {',', ';', '\t'}) {
    const std::string d(1, delim);
    std::string table = Row(kPlainTitles, delim) + "\r\n";         // 1
    table += PointRow(0, delim) + "\r\n";                          // 2
    table += d + d + d + d + d + d + "\r\n";                       // 3
    table += " " + d + " " + d + "\t" + d + "\r\n";                // 4
    table += ";;;\r\n";                                            // 5
    table += PointRow(1, delim) + "\r\n";                          // 6
    table += "\t\t\t\r\n";                                         // 7
    table += PointRow(2, delim) + "\r\n";                          // 8
    table += "GP09" + d + "abc" + d + d + d + d + d + "\r\n";      // 9
    table += PointRow(3, delim) + "\r\n" + d + d + d + d + d + d;  // 10
    const RunResult r = RunZerbShift({"-f", "csv"}, table);
    EXPECT_EQ(r.status, kExitRefused) << r.err;
    EXPECT_EQ(r.err, "zerb-shift: <stdin>, line 9: column x 'abc': not a decimal number\n")
        << "delimiter " << int(delim);
    const auto rows = Rows(r.out);
    ASSERT_GE(rows.size(), 5u) << r.out;
    EXPECT_EQ(rows[1][0], "2");
    EXPECT_EQ(rows[2][0], "6");
    EXPECT_EQ(rows[3][0], "8");
    EXPECT_EQ(rows[4][0], "10");
  }
}

// The CASS reader skips them too, and the pairing names the lines as they are in the files.
TEST_F(Files, CassRowsOfOnlyDelimitersAreBlank) {
  std::string dat, gnss = "name,B,L,H\r\n,,,\r\n";
  for (const auto& p : kPoints) {
    dat += std::string(p[0]) + ",," + p[2] + "," + p[1] + "," + p[3] + "\r\n,,,,\r\n";
    gnss += std::string(p[0]) + "," + p[4] + "," + p[5] + "," + p[6] + "\r\n";
  }
  const RunResult r = RunZerbShift(
      {"-f", "csv", "--grid", Write("control.dat", dat), "--wgs84", Write("gnss.csv", gnss)});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.err, "");
  const auto rows = Rows(r.out);
  ASSERT_GE(rows.size(), 5u) << r.out;
  for (std::size_t i = 1; i <= 4; ++i) {
    EXPECT_EQ(rows[i][0], std::to_string(2 * i - 1)) << r.out;  // the grid file's line
    EXPECT_EQ(rows[i][1], std::to_string(i + 2)) << r.out;      // the WGS-84 file's line
  }
}

// ---- Help ----

// The help lists the titles and units the readers take, from their own tables, and keeps to 96
// columns in a terminal, where a Chinese character takes two.
TEST(Help, ListsTitlesAndUnitsWithinItsWidth) {
  const std::string help = RunZerbShift({"--help"}).out;
  for (const char* shown :
       {"X坐标", "纵坐标", "Northing", "横坐标", "Easting", "纬度B", "经度L", "大地高H", "高程h",
        "°′″", "度分秒", "米", "纵 (ordinate) is x north"}) {
    EXPECT_NE(help.find(shown), std::string::npos) << shown;
  }
  for (std::size_t start = 0, end; start < help.size(); start = end + 1) {
    end = help.find('\n', start);
    const std::string line = help.substr(start, end - start);
    std::size_t columns = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
      const auto c = static_cast<unsigned char>(line[i]);
      if ((c & 0xC0) == 0x80)
        continue;  // a continuation byte
      // From U+2E80 (E2 BA 80) on the characters here are the wide CJK ones and forms.
      const bool wide = c >= 0xE3 || (c == 0xE2 && static_cast<unsigned char>(line[i + 1]) >= 0xBA);
      columns += wide ? 2 : 1;
    }
    EXPECT_LE(columns, 96u) << line;
  }
}

}  // namespace
}  // namespace zerb::test
