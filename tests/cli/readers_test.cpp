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
#include "readers/columns.h"
#include "tests/cli/support.h"
#include "tests/cli/temp_folder.h"
#include "text/text.h"

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

std::string Convert(const std::string& text, const char* to, const char* from = "UTF-8") {
  iconv_t cd = iconv_open(to, from);
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << to;
  std::string out(text.size() * 4 + 8, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t in_left = text.size();
  char* o = out.data();
  std::size_t out_left = out.size();
  EXPECT_NE(iconv(cd, &in, &in_left, &o, &out_left), static_cast<std::size_t>(-1)) << to;
  iconv_close(cd);
  out.resize(out.size() - out_left);
  return out;
}

// The rows of a CSV report after its header, which carries the name column's title.
std::vector<std::vector<std::string>> Body(const std::string& csv) {
  std::vector<std::vector<std::string>> rows = Rows(csv);
  if (!rows.empty())
    rows.erase(rows.begin());
  return rows;
}

using Files = TempFolder;

// Runs zerb-shift on a real pipe as standard input, fed by a thread, as a shell pipeline does.
RunResult RunOnPipe(const std::vector<std::string_view>& args, const std::string& bytes) {
  std::signal(SIGPIPE, SIG_IGN);  // a reader that stops early must not end the test
  int fds[2];
  EXPECT_EQ(pipe(fds), 0);
  std::thread writer([&bytes, fd = fds[1]] {
    for (std::size_t at = 0; at < bytes.size();) {
      const ssize_t n = write(fd, bytes.data() + at, bytes.size() - at);
      if (n <= 0)
        break;
      at += static_cast<std::size_t>(n);
    }
    close(fd);
  });
  std::FILE* in = fdopen(fds[0], "rb");
  const RunResult r = RunZerbShiftOn(args, in);
  std::fclose(in);
  writer.join();
  return r;
}

// Feeds a named pipe once a reader has opened it; gives up after 10 s without one.
std::thread FeedFifo(const std::string& path, const std::string& bytes) {
  return std::thread([path, bytes] {
    int fd = -1;
    for (int i = 0; i < 1000 && fd < 0; ++i) {
      fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);  // fails until the reader is there
      if (fd < 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (fd < 0)
      return;
    fcntl(fd, F_SETFL, 0);
    for (std::size_t at = 0; at < bytes.size();) {
      const ssize_t n = write(fd, bytes.data() + at, bytes.size() - at);
      if (n <= 0)
        break;
      at += static_cast<std::size_t>(n);
    }
    close(fd);
  });
}

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
        EXPECT_NE(t, u) << "fields " << f << " and " << g;
        if (!((t == "h" && u == "H") || (t == "H" && u == "h"))) {
          EXPECT_NE(lower(t), lower(u)) << "fields " << f << " and " << g;
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
                              "minutes and seconds: give --angle-format dd.mmss"),
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

// ---- Encodings ----

// gbk and cp936, in any case, are names of GB18030, as gb2312 is.
TEST(Encodings, GbkAndCp936AreNamesOfGb18030) {
  const std::string gbk = Convert(
      Table({"点名", "X坐标", "Y坐标", "高程", "纬度", "经度", "大地高"}) + "控制点,1,2,3,4,5,6\n",
      "GBK");
  const RunResult reference = RunZerbShift({"-f", "csv", "--encoding", "gb18030"}, gbk);
  ASSERT_EQ(reference.status, kExitRefused) << reference.err;
  for (const char* name : {"gbk", "GBK", "cp936", "CP936", "Gb2312", "auto"}) {
    const RunResult r = RunZerbShift({"-f", "csv", "--encoding", name}, gbk);
    EXPECT_EQ(r.status, kExitRefused) << name;
    EXPECT_EQ(r.out, reference.out) << name;
    EXPECT_EQ(r.err, reference.err) << name;
  }
  EXPECT_TRUE(reference.out.starts_with("line,点名,")) << reference.out;
}

// The "--encoding gbk is accepted and then fails": the encoding applies to every input,
// and forced onto the UTF-8 GNSS table beside the GBK .dat it refused every line of it, saying
// "neither valid UTF-8 nor valid GB18030" of valid UTF-8. A byte-order mark now decides over
// --encoding; a table without one is refused saying why.
TEST_F(Files, GbkOptionLeavesAUtf8TableWithAMarkReadable) {
  std::string dat, gnss = "点名,纬度,经度,大地高\r\n";
  for (const auto& p : kPoints) {
    dat += "控" + std::string(p[0]) + ",," + p[2] + "," + p[1] + "," + p[3] + "\r\n";
    gnss += "控" + std::string(p[0]) + "," + p[4] + "," + p[5] + "," + p[6] + "\r\n";
  }
  const std::string grid = Write("control.dat", Convert(dat, "GBK"));
  const std::string marked = Write("gnss.csv", "\xEF\xBB\xBF" + gnss);
  const RunResult detected = RunZerbShift({"-f", "csv", "--grid", grid, "--wgs84", marked});
  ASSERT_EQ(detected.status, kExitOk) << detected.err;
  for (const char* name : {"gbk", "cp936"}) {
    const RunResult r =
        RunZerbShift({"-f", "csv", "--encoding", name, "--grid", grid, "--wgs84", marked});
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.out, detected.out);
  }
  const std::string unmarked = Write("plain.csv", gnss);
  const RunResult r =
      RunZerbShift({"-f", "csv", "--encoding", "gbk", "--grid", grid, "--wgs84", unmarked});
  EXPECT_EQ(r.status, kExitNoPoint);
  EXPECT_NE(r.err.find("plain.csv, line 1: not valid GB18030 at byte "), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find(", but valid UTF-8: --encoding applies to every input file"),
            std::string::npos)
      << r.err;
}

// The mark decides for the whole file, so a GBK line in it is refused as what it is not, UTF-8,
// and the hint is not --encoding (which the mark overrides).
TEST(Encodings, GbkLineInAMarkedUtf8FileIsRefusedSayingSo) {
  const std::string table = "\xEF\xBB\xBF" + Table(kPlainTitles) +
                            Convert("控" + PointRow(0, ',').substr(4) + "\n", "GBK");
  for (const char* name : {"auto", "gbk"}) {
    const RunResult r = RunZerbShift({"-f", "csv", "--encoding", name}, table);
    EXPECT_EQ(r.status, kExitRefused) << name;
    EXPECT_EQ(r.err,
              "zerb-shift: <stdin>, line 6: not valid UTF-8, though the file begins with the "
              "byte-order mark of UTF-8\n")
        << name;
    EXPECT_EQ(Body(r.out).size(), 4u + 2) << name;
  }
}

// Windows' GBK, and iconv's, writes the euro sign as the byte 0x80, which GB18030 lacks: such a
// note was refused as "neither valid UTF-8 nor valid GB18030".
TEST(Encodings, EuroSignOfWindowsGbkIsRead) {
  std::vector<std::string> titles = {"点名", "X", "Y", "高程", "纬度", "经度", "大地高"};
  std::string table = Row(titles, ',') + ",费用\n";
  for (int i = 0; i < 4; ++i)
    table += PointRow(i, ',') + ",€12\n";
  const std::string gbk = Convert(table, "GBK");
  ASSERT_NE(gbk.find('\x80'), std::string::npos);
  for (const char* name : {"auto", "gbk"}) {
    const RunResult r = RunZerbShift({"-f", "csv", "--encoding", name}, gbk);
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_NE(r.out.find("\n2,GP01,€12,"), std::string::npos) << r.out;
  }
}

// Excel's "Unicode text": UTF-16 with a byte-order mark, tab-separated, CRLF. 3000 rows make
// several blocks of the conversion, and every name has a character beyond the BMP (𠀀, a
// surrogate pair); one name is padded so that its pair straddles the end of the first block read
// (64 KiB, byte_source.h). The report and the messages, with their line numbers, are those of the
// same table in UTF-8: from a file, standard input, a pipe, with --encoding utf-16 or even
// --encoding gbk (the mark decides).
TEST_F(Files, Utf16WithAMarkReadsAsUtf8Does) {
  constexpr std::size_t kFirstBlock = 65536;
  std::string table = "点名\t纵坐标\t横坐标\t高程\t纬度\t经度\t大地高\r\n";
  std::size_t utf16_size = Convert("\xEF\xBB\xBF" + table, "UTF-16LE").size();
  bool straddled = false;
  for (int i = 0; i < 3000; ++i) {
    const auto& p = kPoints[i % 4];
    std::string name = "𠀀点" + std::to_string(i);
    const std::string rest = std::string("\t") + p[1] + "\t" + p[2] + "\t" + p[3] + "\t" + p[4] +
                             "\t" + p[5] + "\t" + p[6] + "\r\n";
    std::size_t row_size = Convert(name + rest, "UTF-16LE").size();
    if (!straddled && utf16_size + row_size > kFirstBlock - 2) {
      name = std::string((kFirstBlock - 2 - utf16_size) / 2, 'x') + name;
      row_size = Convert(name + rest, "UTF-16LE").size();
      straddled = true;
    }
    table += name + rest;
    utf16_size += row_size;
    if (i == 1000)
      table += "\t\t\t\r\n坏点\t1\t2\t3\t4\t5\t6\r\n";
  }
  const RunResult reference = RunZerbShift({"-f", "csv"}, table);
  ASSERT_EQ(reference.status, kExitRefused) << reference.err;
  ASSERT_EQ(reference.err.rfind("zerb-shift: <stdin>, line 1004: column 横坐标 '2': ", 0), 0u)
      << reference.err;
  ASSERT_EQ(Rows(reference.out).size(), 1 + 3000u + 2) << reference.out.substr(0, 300);
  for (const char* order : {"UTF-16LE", "UTF-16BE"}) {
    const std::string bytes = Convert("\xEF\xBB\xBF" + table, order);  // the mark, converted
    const bool little = order[6] == 'L';
    ASSERT_TRUE(bytes.starts_with(little ? "\xFF\xFE" : "\xFE\xFF"));
    ASSERT_EQ(bytes.substr(kFirstBlock - 2, 4),
              std::string(little ? "\x40\xD8\x00\xDC" : "\xD8\x40\xDC\x00", 4));
    const std::string file = Write("unicode.txt", bytes);
    const RunResult runs[] = {
        RunZerbShift({"-f", "csv"}, bytes),
        RunOnPipe({"-f", "csv"}, bytes),
        RunZerbShift({"-f", "csv", "--encoding", "utf-16"}, bytes),
        RunZerbShift({"-f", "csv", "--encoding", "gbk"}, bytes),
    };
    for (const RunResult& r : runs) {
      EXPECT_EQ(r.status, kExitRefused) << order;
      EXPECT_EQ(r.err, reference.err) << order;
      EXPECT_TRUE(r.out == reference.out) << order;
    }
    const RunResult named = RunZerbShift({"-f", "csv", file});
    EXPECT_EQ(named.err, "zerb-shift: " + file + reference.err.substr(19)) << order;
    EXPECT_TRUE(named.out == reference.out) << order;
  }
}

// UTF-16 without a mark is not guessed, but recognised by its NUL bytes and refused with the way
// out; given its byte order it is read.
TEST(Encodings, Utf16WithoutAMarkIsRefusedWithAHint) {
  const std::string table = Table({"点名", "X", "Y", "高程", "纬度", "经度", "大地高"}, '\t');
  const RunResult reference = RunZerbShift({"-f", "csv"}, table);
  ASSERT_EQ(reference.status, kExitOk) << reference.err;
  for (const char* order : {"utf-16le", "utf-16be"}) {
    const std::string bytes = Convert(table, order[6] == 'l' ? "UTF-16LE" : "UTF-16BE");
    const RunResult guessed = RunZerbShift({"-f", "csv"}, bytes);
    EXPECT_EQ(guessed.status, kExitNoPoint);
    EXPECT_EQ(guessed.err,
              "zerb-shift: <stdin>: the file looks like UTF-16 without a byte-order mark (a NUL "
              "byte in every second place): save it as UTF-8, or give --encoding " +
                  std::string(order) + "\n");
    const RunResult given = RunZerbShift({"-f", "csv", "--encoding", order}, bytes);
    EXPECT_EQ(given.status, kExitOk) << given.err;
    EXPECT_EQ(given.out, reference.out);
    const RunResult marked = RunZerbShift({"-f", "csv", "--encoding", "UTF-16"}, bytes);
    EXPECT_NE(marked.err.find("--encoding utf-16 needs a byte-order mark"), std::string::npos)
        << marked.err;
  }
}

// Half of a surrogate pair is no character: its line is refused, the others are read, and the
// numbers of the lines after it hold.
TEST(Encodings, LoneSurrogateRefusesItsLineOnly) {
  const std::string head = Convert("\xEF\xBB\xBF" + Row(kPlainTitles, '\t') + "\n", "UTF-16LE");
  std::string rows[4];
  for (int i = 0; i < 4; ++i)
    rows[i] = Convert(PointRow(i, '\t') + "\n", "UTF-16LE");
  const std::string lone = std::string("\x00\xD8", 2) + rows[1];  // a high half, no low one
  const RunResult r = RunZerbShift({"-f", "csv"}, head + rows[0] + lone + rows[2] + rows[3]);
  EXPECT_EQ(r.status, kExitRefused);
  EXPECT_EQ(r.err,
            "zerb-shift: <stdin>, line 3: not valid UTF-16 (half of a surrogate pair alone, or a "
            "character cut by the end)\n");
  const auto body = Body(r.out);
  ASSERT_GE(body.size(), 3u) << r.out;
  EXPECT_EQ(body[0][0], "2");
  EXPECT_EQ(body[1][0], "4");
  EXPECT_EQ(body[2][0], "5");
}

// ---- Inputs that are not plain files ----

// A directory was opened, read as nothing and reported as "the file is empty".
TEST_F(Files, DirectoryIsNotReportedAsAnEmptyFile) {
  const RunResult named = RunZerbShift({dir_});
  EXPECT_EQ(named.status, kExitUsage);
  EXPECT_EQ(named.err, "zerb-shift: " + dir_ + " is a directory, not a file\n");
  const RunResult grid = RunZerbShift({"--grid", dir_, "--wgs84", Write("w.csv", "name,B,L,H\n")});
  EXPECT_EQ(grid.err, "zerb-shift: " + dir_ + " is a directory, not a file\n");
  std::FILE* in = std::fopen(dir_.c_str(), "rb");  // the shell's < folder
  ASSERT_NE(in, nullptr);
  const RunResult redirected = RunZerbShiftOn({}, in);
  std::fclose(in);
  EXPECT_EQ(redirected.status, kExitUsage);
  EXPECT_EQ(redirected.err, "zerb-shift: <stdin> is a directory, not a file\n");
}

// A device is not opened at all (opening one may act on it): it is refused naming what it is.
TEST(InputFiles, DeviceIsRefusedNamingWhatItIs) {
  const RunResult r = RunZerbShift({"/dev/null"});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_EQ(r.err, "zerb-shift: /dev/null is a character device, not a file\n");
}

// A named pipe, as bash's <(cat points.csv) gives, is read as standard input is; one that
// delivers nothing says so, where an empty file says it is empty.
TEST_F(Files, NamedPipeIsReadAsAStream) {
  const std::string fifo = dir_ + "/points.fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const RunResult reference = RunZerbShift({"-f", "csv"}, Table(kPlainTitles));
  std::thread feed = FeedFifo(fifo, Table(kPlainTitles));
  const RunResult piped = RunZerbShift({"-f", "csv", fifo});
  feed.join();
  EXPECT_EQ(piped.status, kExitOk) << piped.err;
  EXPECT_EQ(piped.out, reference.out);

  feed = FeedFifo(fifo, "");
  const RunResult nothing = RunZerbShift({fifo});
  feed.join();
  EXPECT_EQ(nothing.status, kExitNoPoint);
  EXPECT_EQ(nothing.err, "zerb-shift: " + fifo + ": nothing came through the pipe\n");
  EXPECT_EQ(RunOnPipe({}, "").err, "zerb-shift: <stdin>: nothing came through the pipe\n");
  const std::string empty = Write("empty.csv", "");
  EXPECT_EQ(RunZerbShift({empty}).err, "zerb-shift: " + empty + ": the file is empty\n");
  EXPECT_EQ(
      RunZerbShift({"--grid", Write("e.dat", ""), "--wgs84", Write("w.csv", "name,B,L,H\n")}).err,
      "zerb-shift: " + dir_ + "/e.dat: the file is empty\n");
}

// A file the user may not read says so. Root reads every file, so the run goes to a child that
// has become the unprivileged user nobody first; another user needs only the file's mode.
TEST_F(Files, UnreadableFileSaysPermissionDenied) {
  const std::string file = Write("secret.csv", Table(kPlainTitles));
  ASSERT_EQ(chmod(file.c_str(), 0), 0);
  ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);  // the folder may be entered, the file not read
  const std::string expected = "zerb-shift: cannot read " + file + ": permission denied\n";
  if (geteuid() != 0) {
    EXPECT_EQ(RunZerbShift({file}).err, expected);
    return;
  }
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0)
      _exit(2);
    const RunResult r = RunZerbShift({file});
    if (r.status == kExitUsage && r.err == expected)
      _exit(0);
    std::fprintf(stderr, "status %d: %s", r.status, r.err.c_str());
    _exit(1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "2: the child could not become nobody";
  EXPECT_EQ(RunZerbShift({dir_ + "/none.csv"}).err,
            "zerb-shift: cannot read " + dir_ + "/none.csv: no such file or directory\n");
}

// A stream's read function: the rest of the bytes (a string_view), then a failing read (EIO).
ssize_t ReadThenFail(void* cookie, char* to, std::size_t size) {
  auto* rest = static_cast<std::string_view*>(cookie);
  if (rest->empty()) {
    errno = EIO;
    return -1;
  }
  const std::size_t n = std::min(size, rest->size());
  std::memcpy(to, rest->data(), n);
  rest->remove_prefix(n);
  return static_cast<ssize_t>(n);
}

// A read error is reported with the system's reason, at the start of a file (which was said to
// be empty) as in its middle.
TEST(InputFiles, ReadErrorIsNotTakenForAnEmptyFile) {
  // The kernel refuses to read this regular file at its start.
  const RunResult start = RunZerbShift({"/proc/self/mem"});
  EXPECT_EQ(start.status, kExitUsage);
  EXPECT_EQ(start.err, "zerb-shift: /proc/self/mem: read error: input/output error\n");
  // 2000 rows, beyond the first block read ahead, then the stream fails between two lines.
  std::string table = Table(kPlainTitles);
  const std::string rows = table.substr(table.find('\n') + 1);
  for (int i = 0; i < 500; ++i)
    table += rows;
  std::string_view rest = table;
  std::FILE* in = fopencookie(&rest, "r", {ReadThenFail, nullptr, nullptr, nullptr});
  const RunResult middle = RunZerbShiftOn({"-f", "csv"}, in);
  std::fclose(in);
  EXPECT_EQ(middle.status, kExitUsage);
  EXPECT_NE(middle.err.find("zerb-shift: <stdin>: read error: input/output error"),
            std::string::npos)
      << middle.err;
  EXPECT_EQ(middle.err.find("empty"), std::string::npos) << middle.err;
}

// ---- Help ----

// The help lists the titles and units the readers take, from their own tables, and keeps to 96
// columns in a terminal, where a Chinese character takes two.
TEST(Help, ListsTitlesAndUnitsWithinItsWidth) {
  const std::string help = RunZerbShift({"--help"}).out;
  for (const char* shown : {"X坐标", "纵坐标", "Northing", "横坐标", "Easting", "纬度B", "经度L",
                            "大地高H", "高程h", "°′″", "度分秒", "米", "纵 (ordinate) is x north",
                            "utf-16le", "cp936", "rows of delimiters only"}) {
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
