// The files surveyors have: a CASS .dat in GBK with Chinese names and a GNSS table in UTF-8 with a
// byte-order mark, CRLF line ends and Chinese titles, paired by name; what each reader refuses
// and why; full-width digits read to the dialog's bits.
#include <gtest/gtest.h>
#include <iconv.h>
#include <proj.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "geodesy/geodesy.h"
#include "numtext/number_text.h"
#include "tests/cli/support.h"
#include "tests/cli/temp_folder.h"
#include "text/text.h"

namespace zerb::test {
namespace {

using geodesy::ComputeShift;
using geodesy::ShiftForm;
using numtext::ParseDouble;
using numtext::ParseInt;

// The translation WGS-84 minus Krassovsky (metres) the pair of files is made with.
constexpr double kTrue[3] = {12.646, -155.176, -80.863};

std::string ToGbk(const std::string& utf8) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  std::string out(utf8.size() * 2 + 4, '\0');
  char* from = const_cast<char*>(utf8.data());
  std::size_t from_left = utf8.size();
  char* to = out.data();
  std::size_t to_left = out.size();
  iconv(cd, &from, &from_left, &to, &to_left);
  iconv_close(cd);
  out.resize(out.size() - to_left);
  return out;
}

using FieldFiles = TempFolder;

// 12 points in zone 38 (L0 114) carried by PROJ from WGS-84 through the translation onto the
// grid; the CASS file lists them east first, the GNSS file in another order.
TEST_F(FieldFiles, GbkCassAndBomCrlfGnssTablePairByName) {
  PJ* grid = proj_create(
      nullptr, ("+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step +proj=cart "
                "+ellps=WGS84 +step +proj=helmert +x=" +
                std::to_string(-kTrue[0]) + " +y=" + std::to_string(-kTrue[1]) +
                " +z=" + std::to_string(-kTrue[2]) +
                " +step +inv +proj=cart +ellps=krass +step +proj=tmerc +ellps=krass +lon_0=114 "
                "+x_0=500000 +k=1")
                   .c_str());
  ASSERT_NE(grid, nullptr);
  std::mt19937_64 random(8);
  std::uniform_real_distribution<double> lat(36.0, 37.0), lon(113.5, 114.5), height(500, 1500);
  std::string cass;
  std::string gnss = "\xEF\xBB\xBF点名,纬度,经度,大地高,备注\r\n";
  for (int i = 0; i < 12; ++i) {
    const double B = lat(random), L = lon(random), H = height(random);
    const PJ_COORD c = proj_trans(grid, PJ_FWD, proj_coord(L, B, H, 0));
    char line[200];
    std::snprintf(line, sizeof line, "控制点%d,,38%.4f,%.4f,%.4f,,\r\n", i + 1, c.xyz.x, c.xyz.y,
                  c.xyz.z);
    cass += line;
  }
  proj_destroy(grid);
  // The GNSS table lists the same points backwards: regenerate them in that order.
  std::mt19937_64 again(8);
  std::vector<std::string> rows(12);
  for (int i = 0; i < 12; ++i) {
    const double B = lat(again), L = lon(again), H = height(again);
    char line[200];
    std::snprintf(line, sizeof line, "控制点%d,%.10f,%.10f,%.4f,第%d号\r\n", i + 1, B, L, H, i + 1);
    rows[11 - i] = line;
  }
  for (const std::string& r : rows)
    gnss += r;
  // One name the grid lacks, one the GNSS table lacks, one it has twice.
  gnss += "孤点,36.5,114.0,900,\r\n";
  cass += "无伴点,,38500000.0,4000000.0,800.0\r\n";
  gnss += "控制点3,36.5,114.0,900,重复\r\n";
  const std::string dat = Write("控制网.dat", ToGbk(cass));
  const std::string csv = Write("gnss.csv", gnss);

  const RunResult r = RunZerbShift({"--grid", dat, "--wgs84", csv, "-f", "json"});
  EXPECT_EQ(r.status, kExitRefused) << r.err;
  rapidjson::Document json;
  ASSERT_TRUE(ParseJson(r.out, &json)) << r.out;
  EXPECT_TRUE(IsValidUtf8(r.err));
  // The grid file's names came in as GBK and leave as UTF-8, the passed-through note as well.
  EXPECT_EQ(TextAt(json, "/points/0/name"), "控制点1");
  EXPECT_EQ(TextAt(json, "/points/0/columns/备注"), "第1号");
  // The translation the files were made with comes back within 2 mm: the inverse series is good
  // to 3 mm within 3 degrees of L0 and the mean of 11 points averages it down.
  EXPECT_NEAR(NumberAt(json, "/parameters/tx/value"), kTrue[0], 0.002);
  EXPECT_NEAR(NumberAt(json, "/parameters/ty/value"), kTrue[1], 0.002);
  EXPECT_NEAR(NumberAt(json, "/parameters/tz/value"), kTrue[2], 0.002);
  // Unpaired names with their files, the duplicate with both lines; 11 points paired.
  EXPECT_NE(r.err.find("'孤点' is not in"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("'无伴点' is not in " + csv), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("gnss.csv, line 15: name '控制点3' occurs again (first at line"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("occurs twice in " + csv), std::string::npos) << r.err;
  EXPECT_EQ(TextAt(json, "/unpaired/0/name"), "无伴点");
  EXPECT_EQ(NumberAt(json, "/count"), 11);
  // Every output format works on the pair.
  for (const char* format : {"text", "csv", "towgs84", "crs-wkt2"}) {
    const RunResult f = RunZerbShift({"--grid", dat, "--wgs84", csv, "-f", format});
    EXPECT_EQ(f.status, kExitRefused) << format << f.err;
    EXPECT_TRUE(IsValidUtf8(f.out)) << format;
  }
  // No name in common: nothing computed.
  const std::string lonely = Write("lonely.csv", "点名,纬度,经度,大地高\n别处,36,114,900\n");
  EXPECT_EQ(RunZerbShift({"--grid", dat, "--wgs84", lonely}).status, kExitNoPoint);
}

// Each reader says why it refuses a line, with the file and the line.
TEST_F(FieldFiles, EveryRefusalNamesItsReason) {
  const std::string grid = Write("g.csv", "点名,X,Y,高程,L0\nA,4000000,500000,10,114\n");
  struct Case {
    std::string file;     // the WGS-84 file's bytes
    std::string message;  // what stderr must say
  };
  const Case cases[] = {
      {"name,B,L\nA,36,114\n",
       "lacks the column(s) H (H, 大地高, 椭球高, 大地高H, h, 高程, 正常高, 高程h, 正常高h)"},
      {"name,B,L,H\nA,36,114\n", "line 2: 3 fields where the header has 4"},
      {"name,B,L,H\nA,36,114,1,x\n", "line 2: 5 fields where the header has 4"},
      {"name,B,L,H\n\"A,36,114,1\n", "line 2: unterminated quoted field"},
      {"name,B,L,H\n,36,114,1\n", "line 2: no point name"},
      {"name,B,L,H\nA,36:61:00,114,1\n", "line 2: column B '36:61:00': minutes outside 0 to 59"},
      {"name,B,L,H\nA,36,114,1e3\n", "line 2: column H '1e3': not a decimal number"},
      {"name,B,L,H\nA,36,114,1\nA,36,114,2\n", "line 3: name 'A' occurs again (first at line 2)"},
      {"name,B,L,H\nA,36,114,1\nB\xff,36,114,1\n",
       "line 3: neither valid UTF-8 nor valid GB18030 at byte 2"},
  };
  for (const Case& c : cases) {
    const std::string wgs = Write("w.csv", c.file);
    const RunResult r = RunZerbShift({"--grid", grid, "--wgs84", wgs});
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.message << "\n" << r.err;
    EXPECT_TRUE(IsValidUtf8(r.err)) << r.err;
  }
  // CASS: five fields, east before north.
  const std::string wgs = Write("w.csv", "name,B,L,H\nA,36.1,114.1,1\n");
  const std::string dat = Write("g.dat", "A,,38500000,4000000\n");
  EXPECT_NE(RunZerbShift({"--grid", dat, "--wgs84", wgs})
                .err.find("g.dat, line 1: 4 fields where a CASS .dat line has 5"),
            std::string::npos);
  // Forced UTF-8 refuses GBK bytes instead of guessing.
  const std::string gbk = Write("gbk.csv", "name,B,L,H\n" + ToGbk("点") + ",36,114,1\n");
  EXPECT_NE(RunZerbShift({"--grid", grid, "--wgs84", gbk, "--encoding", "utf-8"})
                .err.find("gbk.csv, line 2: not valid UTF-8"),
            std::string::npos);
  // Beyond 3 degrees from L0 the dialog's series is used with a warning naming the error expected
  // there; the exact projection needs none.
  const std::vector<std::string_view> far_point = {"--x", "4003700", "--y", "148700", "--h",
                                                   "10",  "--L0",    "114", "--B",    "36.1",
                                                   "--L", "110.1",   "--H", "1"};
  std::vector<std::string_view> far_by_series = {"--projection", "dialog"};
  far_by_series.insert(far_by_series.end(), far_point.begin(), far_point.end());
  const RunResult far = RunZerbShift(far_by_series);
  const RunResult far_exact = RunZerbShift(far_point);
  EXPECT_EQ(far_exact.status, kExitOk) << far_exact.err;
  EXPECT_EQ(far_exact.err, "");
  EXPECT_EQ(far.status, kExitOk) << far.err;
  EXPECT_NE(far.err.find("3.90 degrees from the central meridian 114 (more than 3): the inverse "
                         "projection there is good to 2.7 mm"),
            std::string::npos)
      << far.err;
}

// A Chinese input method types full-width digits, signs and points; zerb-shift reads them to the
// same doubles the dialog's fields read, so the shift has the dialog's bits.
TEST(FullWidthInput, GivesTheDialogsBits) {
  const std::string ascii =
      "x,y,h,L0,B,L,H\n4419971.693,458259.110,-92.591,117,39:54:44.442,116:30:44.442,52.317\n";
  const std::string wide =
      "x,y,h,L0,B,L,H\n４４１９９７１．６９３,４５８２５９．１１０,－９２．５９１,１１７,"
      "３９：５４：４４．４４２,１１６：３０：４４．４４２,５２．３１７\n";
  const RunResult a = RunZerbShift({"--projection", "dialog", "-f", "json"}, ascii);
  const RunResult w = RunZerbShift({"--projection", "dialog", "-f", "json"}, wide);
  ASSERT_EQ(w.status, kExitOk) << w.err;
  EXPECT_EQ(a.out, w.out);
  // The dialog: its own reader on the full-width texts, then ComputeShift.
  ShiftForm form;
  form.m_gridX = *ParseDouble("４４１９９７１．６９３");
  form.m_gridY = *ParseDouble("４５８２５９．１１０");
  form.m_gridH = *ParseDouble("－９２．５９１");
  form.m_centralMeridian = *ParseInt("１１７");
  form.m_latDeg = 39, form.m_latMin = 54, form.m_latSec = *ParseDouble("４４．４４２");
  form.m_lonDeg = 116, form.m_lonMin = 30, form.m_lonSec = *ParseDouble("４４．４４２");
  form.m_geoH = *ParseDouble("５２．３１７");
  ComputeShift(form);
  rapidjson::Document json;
  ASSERT_TRUE(ParseJson(w.out, &json)) << w.out;
  EXPECT_EQ(Bits(NumberAt(json, "/points/0/dx")), Bits(form.m_dx));
  EXPECT_EQ(Bits(NumberAt(json, "/points/0/dy")), Bits(form.m_dy));
  EXPECT_EQ(Bits(NumberAt(json, "/points/0/dz")), Bits(form.m_dz));
}

}  // namespace
}  // namespace zerb::test
