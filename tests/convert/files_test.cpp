// The files surveyors keep, through zerb-convert: every column passed through as it came, names
// and codes byte for byte in every encoding, refused lines named and the rest converted in
// order, and the warnings about points where the definition does not hold.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cmath>
#include <string>
#include <vector>

#include "crs/grid_conversion.h"
#include "crs/grid_system.h"
#include "points/convert_checks.h"
#include "readers/columns.h"
#include "tests/cli/temp_folder.h"
#include "tests/convert/support.h"

namespace zerb::convert_test {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos)
      end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  for (std::size_t at = 0;;) {
    const std::size_t comma = line.find(',', at);
    cells.push_back(line.substr(at, comma - at));
    if (comma == std::string::npos)
      return cells;
    at = comma + 1;
  }
}

// UTF-8 to GB18030 by iconv, as Excel on a Chinese Windows would have saved the text.
std::string ToGb18030(const std::string& utf8) {
  iconv_t cd = iconv_open("GB18030", "UTF-8");
  std::string out(utf8.size() * 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t in_left = utf8.size();
  char* o = out.data();
  std::size_t out_left = out.size();
  EXPECT_NE(iconv(cd, &in, &in_left, &o, &out_left), static_cast<std::size_t>(-1));
  iconv_close(cd);
  out.resize(out.size() - out_left);
  return out;
}

class ConvertFiles : public zerb::test::TempFolder {
 protected:
  std::string Seven() {
    return Write("grid.wkt2", Definition(crs::Form::kCrsWkt2, SevenParameters()));
  }
};

TEST_F(ConvertFiles, CassNamesAndCodesComeOutByteForByte) {
  const std::string dat =
      "GP01,,39458259.110,4419971.693,92.591\r\n"
      "控制点A,J1,39477300.914,4435312.960,89.003\r\n"
      "K 3,水准,39508728.211,4400117.957,101.427\r\n";
  const RunResult r = RunZerbConvert({Seven(), Write("control.dat", ToGb18030(dat))});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> out = Lines(r.out);
  ASSERT_EQ(out.size(), 4u);
  EXPECT_EQ(out[0], "name,code,E,N,h,B,L,H\r");  // CRLF, as the file came
  const std::vector<std::string> in = Lines(dat);
  for (int i = 0; i < 3; ++i) {
    const std::string typed = in[i].substr(0, in[i].size() - 1);  // without the CR
    EXPECT_EQ(out[i + 1].substr(0, typed.size() + 1), typed + ",");
  }
}

TEST_F(ConvertFiles, CrlfLinesComeOutCrlf) {
  // Excel on Windows writes CRLF; what it wrote comes back in its own line ends, a CASS file's
  // (whose header zerb-convert writes itself) as well as a table's.
  const RunResult cass = RunZerbConvert(
      {Seven(), Write("c.dat", "A,,39500000,4400000,1\r\nB,,39500100,4400000,1\r\n")});
  ASSERT_EQ(cass.status, 0) << cass.err;
  EXPECT_EQ(cass.out.rfind("name,code,E,N,h,B,L,H\r\nA,,39500000,4400000,1,", 0), 0u) << cass.out;
  EXPECT_EQ(Lines(cass.out).size(), 3u);
  EXPECT_TRUE(cass.out.ends_with("\r\n"));
  const RunResult unix_lines =
      RunZerbConvert({Seven(), Write("u.csv", "name,E,N,h\nA,39500000,4400000,1\n")});
  EXPECT_EQ(unix_lines.out.find('\r'), std::string::npos);
}

TEST_F(ConvertFiles, GnssTableToCassKeepsNameAndCode) {
  const std::string csv =
      "点名,编码,纬度,经度,大地高\n"
      "GP04,J1,40:07:24.4416,117:21:24.4404,75.030\n"
      "北山,,39:44:04.2432,117:06:08.4420,61.455\n";
  const RunResult r =
      RunZerbConvert({"--inverse", "--output-form", "cass", Seven(), Write("gnss.csv", csv)});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> out = Lines(r.out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(Cells(out[0])[0], "GP04");
  EXPECT_EQ(Cells(out[0])[1], "J1");
  EXPECT_EQ(Cells(out[1])[0], "北山");
  EXPECT_EQ(Cells(out[1])[1], "");
  // The grid position is the library's conversion of the same angles, printed to 0.1 mm.
  crs::GridConversion conversion;
  ASSERT_EQ(conversion.Open(Definition(crs::Form::kCrsWkt2, SevenParameters())), "");
  double x = 117 + 21 / 60.0 + 24.4404 / 3600, y = 40 + 7 / 60.0 + 24.4416 / 3600, z = 75.030;
  conversion.Convert(&x, &y, &z, 1, true);
  const std::vector<std::string> cells = Cells(out[0]);
  EXPECT_NEAR(std::stod(cells[2]), x, 0.5e-4);
  EXPECT_NEAR(std::stod(cells[3]), y, 0.5e-4);
  EXPECT_NEAR(std::stod(cells[4]), z, 0.5e-4);
}

TEST_F(ConvertFiles, Gb18030ChineseNamesToGb18030AndBack) {
  const std::string csv =
      "点名,纬度,经度,大地高,备注\n"
      "东门桥,40:07:24.4416,117:21:24.4404,75.030,新埋\n"
      "西山顶,39:44:04.2432,117:06:08.4420,61.455,\"旧点,已修\"\n";
  const std::string gb = ToGb18030(csv);
  const RunResult to_grid =
      RunZerbConvert({"--inverse", "--output-encoding", "gb18030", Seven(), Write("gnss.csv", gb)});
  ASSERT_EQ(to_grid.status, 0) << to_grid.err;
  const std::vector<std::string> in = Lines(gb);
  const std::vector<std::string> out = Lines(to_grid.out);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0], in[0] + ToGb18030(",X坐标,Y坐标,高程"));
  for (int i = 1; i < 3; ++i)
    EXPECT_EQ(out[i].substr(0, in[i].size() + 1), in[i] + ",") << i;
  // And back: the grid columns of that table read as the grid side, its B, L, H replaced in
  // place by the converted ones, written in the form asked for; every other cell as it was.
  const RunResult back = RunZerbConvert({"--angle-format", "dms", "--output-encoding", "gb18030",
                                         Seven(), Write("grid.csv", to_grid.out)});
  ASSERT_EQ(back.status, 0) << back.err;
  const std::vector<std::string> again = Lines(back.out);
  ASSERT_EQ(again.size(), 3u);
  EXPECT_EQ(again[0], out[0]);
  const std::vector<std::string> before = Cells(out[1]);
  const std::vector<std::string> after = Cells(again[1]);
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t c : {0u, 4u, 5u, 6u, 7u})
    EXPECT_EQ(after[c], before[c]) << c;
  // The grid was printed to 0.1 mm, which is 1.6e-6 arc-second at most; the seconds come back
  // within 2e-6 and the height within 0.1 mm.
  int lat_d = 0, lat_m = 0, lon_d = 0, lon_m = 0;
  double lat_s = 0, lon_s = 0;
  ASSERT_EQ(std::sscanf(after[1].c_str(), "%d:%d:%lf", &lat_d, &lat_m, &lat_s), 3) << after[1];
  ASSERT_EQ(std::sscanf(after[2].c_str(), "%d:%d:%lf", &lon_d, &lon_m, &lon_s), 3) << after[2];
  EXPECT_EQ(lat_d * 100 + lat_m, 4007);
  EXPECT_EQ(lon_d * 100 + lon_m, 11721);
  EXPECT_NEAR(lat_s, 24.4416, 2e-6);
  EXPECT_NEAR(lon_s, 24.4404, 2e-6);
  EXPECT_NEAR(std::stod(after[3]), 75.030, 1e-4);
}

TEST_F(ConvertFiles, CassFileThereAndBackGivesItsGridAgain) {
  // Forward, a CASS file becomes name,code,E,N,h,B,L,H; with --inverse that table's B, L, H are
  // read and its E, N, h replaced: the grid comes back within the 0.1 mm it is printed to, and
  // as a CASS file the names and codes as they were.
  const std::string dat =
      "GP01,,39458259.110,4419971.693,92.591\n控制点A,J1,39477300.914,4435312.960,89.003\n";
  const RunResult there = RunZerbConvert({Seven(), Write("c.dat", dat)});
  ASSERT_EQ(there.status, 0) << there.err;
  const RunResult back = RunZerbConvert({"--inverse", Seven(), Write("c.csv", there.out)});
  ASSERT_EQ(back.status, 0) << back.err;
  const std::vector<std::string> lines = Lines(back.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "name,code,E,N,h,B,L,H");
  const std::vector<std::string> typed = Lines(dat);
  for (int i = 0; i < 2; ++i) {
    const std::vector<std::string> in = Cells(typed[i]);
    const std::vector<std::string> cells = Cells(lines[i + 1]);
    EXPECT_EQ(cells[0], in[0]);
    EXPECT_EQ(cells[1], in[1]);
    for (int c = 2; c < 5; ++c)
      EXPECT_NEAR(std::stod(cells[c]), std::stod(in[c]), 1e-4) << i << " " << c;
  }
  const RunResult cass =
      RunZerbConvert({"--inverse", "--output-form", "cass", Seven(), Write("c2.csv", there.out)});
  ASSERT_EQ(cass.status, 0) << cass.err;
  EXPECT_EQ(Cells(Lines(cass.out)[1])[0] + "," + Cells(Lines(cass.out)[1])[1], "控制点A,J1");
}

TEST_F(ConvertFiles, RefusedLineInTheMiddleLeavesTheOthersInOrder) {
  // 10 000 points: more than two blocks, the bad line in the second.
  std::string csv = "name,E,N,h\n";
  for (int i = 0; i < 10000; ++i) {
    char line[96];
    if (i == 5000)
      std::snprintf(line, sizeof line, "P%d,39500000.000,not a number,10.0\n", i);
    else
      std::snprintf(line, sizeof line, "P%d,%.3f,%.3f,%.3f\n", i, 39450000.0 + i, 4400000.0 + i,
                    50.0 + i * 0.001);
    csv += line;
  }
  const RunResult r = RunZerbConvert({Seven(), Write("many.csv", csv)});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("many.csv, line 5002: column N 'not a number'"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("10000 points read: 9999 converted, 1 refused"), std::string::npos) << r.err;
  const std::vector<std::string> out = Lines(r.out);
  ASSERT_EQ(out.size(), 10000u);
  for (int i = 1, name = 0; i < 10000; ++i, ++name) {
    if (name == 5000)
      ++name;
    ASSERT_EQ(Cells(out[i])[0], "P" + std::to_string(name));
  }
}

TEST_F(ConvertFiles, ZoneOfAnotherMeridianIsRefused) {
  const RunResult r = RunZerbConvert(
      {Seven(), Write("g.csv", "name,E,N,h\nA,38500000,4400000,1\nB,39500000,4400000,1\n")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("line 2: the easting's zone 38 has the central meridian 114"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(Lines(r.out).size(), 2u);
}

TEST_F(ConvertFiles, EastingWithoutZoneGetsTheGridsZone) {
  const RunResult with =
      RunZerbConvert({Seven(), Write("a.csv", "name,E,N,h\nA,39512345.6,4400000,1\n")});
  const RunResult without =
      RunZerbConvert({Seven(), Write("b.csv", "name,E,N,h\nA,512345.6,4400000,1\n")});
  ASSERT_EQ(with.status, 0) << with.err;
  ASSERT_EQ(without.status, 0) << without.err;
  EXPECT_EQ(Cells(Lines(with.out)[1]).back(), Cells(Lines(without.out)[1]).back());
  EXPECT_EQ(Cells(Lines(with.out)[1])[4], Cells(Lines(without.out)[1])[4]);
}

TEST_F(ConvertFiles, PointsFarFromTheCommonPointsAreWarnedAboutAndCounted) {
  const std::string definition = Seven();
  // Common points over 20 km by 10 km: margin a fifth of 20 km, 4 km.
  Write("grid.wkt2.area", "east 39450000 39470000\nnorth 4400000 4410000\npoints 6\n");
  const RunResult r = RunZerbConvert(
      {definition, Write("g.csv",
                         "name,E,N,h\nin,39460000,4405000,1\nedge,39473000,4405000,1\n"
                         "far,39480000,4405000,1\n")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("line 4: warning: 'far' lies 10.0 km outside the area of the 6 common "
                       "points"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find("'edge'"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("3 points read: 3 converted, 0 refused; 1 outside the area"),
            std::string::npos)
      << r.err;
}

TEST_F(ConvertFiles, NameOfAWarnedPointComesOutWholeInCass) {
  // The name was a view of a temporary when the row had a name column but the view was built
  // through a conditional with "": after a warning the CASS line carried a stray "'N".
  const std::string definition = Seven();
  Write("grid.wkt2.area", "east 39450000 39470000\nnorth 4400000 4410000\npoints 6\n");
  const RunResult r =
      RunZerbConvert({"--inverse", "--output-form", "cass", definition,
                      Write("g.csv",
                            "name,code,B,L,H\nN1,J1,39:58:10.1234,117:02:33.5678,60.1\n"
                            "N2,,40:21:00,117:40:00,80\n")});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].substr(0, 4), "N2,,");
  EXPECT_NE(r.err.find("'N2' lies"), std::string::npos) << r.err;
}

TEST_F(ConvertFiles, PointFarFromTheCentralMeridianIsWarnedAbout) {
  // 200 km west of L0 at 30 N is about 2.07 degrees; 330 km about 3.4.
  const RunResult r = RunZerbConvert(
      {Seven(), Write("g.csv", "name,E,N,h\nnear,39300000,3320000,1\nout,39170000,3320000,1\n")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.find("'near' lies"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("line 3: warning: 'out' lies 3.4"), std::string::npos) << r.err;
}

TEST_F(ConvertFiles, RoundTripIsReportedInMillimetres) {
  const RunResult r = RunZerbConvert(
      {"--round-trip", Write("g.wkt2", Definition(crs::Form::kCrsWkt2, LargeSevenParameters())),
       Write("g.csv", "name,E,N,h\nA,39460000,4405000,1\nB,39560000,3405000,2500\n")});
  EXPECT_EQ(r.status, 0) << r.err;
  // The way back leaves PROJ's own round trip of its projection and geocentric steps, a tenth of
  // a micrometre; anything from 0.001 mm up would be the Helmert step's.
  const std::size_t at = r.err.find("round trip: largest difference 0.000");
  ASSERT_NE(at, std::string::npos) << r.err;
  EXPECT_NE(r.err.find(" mm horizontally", at), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(", 0.000", at), std::string::npos) << r.err;
}

TEST_F(ConvertFiles, CassFileWithInverseIsAUsageError) {
  const RunResult r =
      RunZerbConvert({"--inverse", Seven(), Write("c.dat", "A,,39500000,4400000,1\n")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("a CASS .dat holds grid points"), std::string::npos) << r.err;
}

TEST_F(ConvertFiles, CrsWithoutTransformationIsRefused) {
  const RunResult r = RunZerbConvert({Write("d.txt", "EPSG:2415"), Write("g.csv", "name,E,N,h\n")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("a CRS without a transformation"), std::string::npos) << r.err;
}

TEST_F(ConvertFiles, DefinitionsThatAreNoGridAreRefused) {
  // The proj form (a bare helmert step) would take eastings for geocentric metres; crs-wkt1 is a
  // 2D BoundCRS to WGS 84 2D, which passes heights through unchanged.
  const crs::Helmert shift = SevenParameters();
  std::string wkt1;
  ASSERT_EQ(crs::Define(crs::Form::kCrsWkt1, shift, kGrid, 10, &wkt1), "");
  const std::string csv = Write("g.csv", "name,E,N,h\nA,39500000,4400000,1\n");
  const RunResult helmert =
      RunZerbConvert({Write("h.proj", "+proj=helmert +x=15.8 +y=-130.4 +z=-84.9"), csv});
  EXPECT_EQ(helmert.status, 2);
  EXPECT_NE(helmert.err.find("no transverse Mercator step"), std::string::npos) << helmert.err;
  const RunResult two_d = RunZerbConvert({Write("g.wkt1", wkt1), csv});
  EXPECT_EQ(two_d.status, 2);
  EXPECT_NE(two_d.err.find("not bound to WGS 84 3D (EPSG:4979)"), std::string::npos) << two_d.err;
}

// A city grid (Xi'an 1980's ellipsoid, central meridian 116 30', false easting 50000 m and
// northing -4000000 m, on the surface 50 m up): its eastings are plain numbers, and the program
// gives what cct gives for the definition's own operation, both ways.
TEST_F(ConvertFiles, CityGridEastingsArePlainAndAgreeWithCct) {
  crs::GridSystem city;
  city.ellipsoid = {crs::EllipsoidKind::kIag75, 6378140, 298.257};
  city.false_easting = 50000;
  city.false_northing = -4000000;
  city.projection_height = 50;
  std::string wkt2;
  ASSERT_EQ(
      crs::Define(crs::Form::kCrsWkt2, SevenParameters(), crs::Grid(116.5, 0, city), 9, &wkt2), "");
  const std::string definition = Write("city.wkt2", wkt2);
  crs::GridConversion conversion;
  ASSERT_EQ(conversion.Open(wkt2), "");
  const std::vector<Xyz> grid = {{55490.4736, 423117.1146, -41.6855},
                                 {48461.8371, 434046.5588, -39.8872}};
  const std::vector<Xyz> cct = Cct(conversion.pipeline(), grid, false);
  ASSERT_EQ(cct.size(), grid.size());
  const RunResult r =
      RunZerbConvert({definition, Write("g.csv",
                                        "name,E,N,h\nA,55490.4736,423117.1146,-41.6855\n"
                                        "B,48461.8371,434046.5588,-39.8872\n")});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> out = Lines(r.out);
  ASSERT_EQ(out.size(), 3u) << r.out;
  for (std::size_t i = 0; i < grid.size(); ++i) {
    const std::vector<std::string> cells = Cells(out[i + 1]);
    const Xyz ours = {std::stod(cells[5]), std::stod(cells[4]), std::stod(cells[6])};
    // The output's 10 decimals of a degree are 0.01 mm on the ground, its heights 0.1 mm.
    EXPECT_LT(GroundMetres(ours, cct[i]), 2e-5) << out[i + 1];
    EXPECT_NEAR(ours.z, cct[i].z, 6e-5) << out[i + 1];
  }
  const RunResult back = RunZerbConvert({"--inverse", definition, Write("b.csv", r.out)});
  ASSERT_EQ(back.status, 0) << back.err;
  EXPECT_EQ(Cells(Lines(back.out)[1])[1], "55490.4736") << back.out;
}

TEST(GridEastingForm, OnlyTheZonesFalseEastingCarriesAZone) {
  EXPECT_EQ(GridEastingForm(117, 500000), EastingForm::kZoned);
  EXPECT_EQ(GridEastingForm(117, 39500000), EastingForm::kZoned);  // 3-degree zone 39
  EXPECT_EQ(GridEastingForm(117, 20500000), EastingForm::kZoned);  // 6-degree zone 20
  EXPECT_EQ(GridEastingForm(116.5, 50000), EastingForm::kPlain);
  // A false easting that looks like a zone's but whose zone has another meridian.
  EXPECT_EQ(GridEastingForm(116.5, 39500000), EastingForm::kPlain);
  EXPECT_EQ(GridEastingForm(117, 1500000), EastingForm::kPlain);
}

TEST(ReadHeader, OneSideTableWithBothHeightsTakesItsOwn) {
  // A table zerb-convert wrote holds both heights; read for one side, the other side's height
  // is passed through rather than refused as a second height column.
  Columns grid;
  ASSERT_EQ(ReadHeader({"name", "x", "y", "h", "B", "L", "H"}, Side::kGrid, &grid), "");
  EXPECT_EQ(grid.index[kGridHeight], 3);
  EXPECT_EQ(grid.passed, (std::vector<int>{4, 5, 6}));
  Columns gnss;
  ASSERT_EQ(
      ReadHeader({"点名", "纬度", "经度", "大地高", "X坐标", "Y坐标", "高程"}, Side::kWgs84, &gnss),
      "");
  EXPECT_EQ(gnss.index[kEllipsoidalHeight], 3);
  EXPECT_EQ(gnss.passed, (std::vector<int>{4, 5, 6}));
  // A file of one height keeps taking either title.
  Columns only;
  ASSERT_EQ(ReadHeader({"name", "x", "y", "H"}, Side::kGrid, &only), "");
  EXPECT_EQ(only.index[kGridHeight], 3);
}

}  // namespace
}  // namespace zerb::convert_test
