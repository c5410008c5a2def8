// Names that occur more than once, and names found in one file only, when a grid file and a
// WGS-84 file are paired: a name twice in either file is refused with both lines, and its point
// in the other file with it, so no point is paired with the wrong partner; every name left
// unpaired is listed once, in line order. The points are carried by PROJ from WGS-84 through a
// known translation onto the grid, so the fitted translation says which points were used.
#include <gtest/gtest.h>
#include <proj.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "tests/cli/support.h"
#include "tests/cli/temp_folder.h"

namespace zerb::test {
namespace {

// WGS-84 minus Krassovsky, metres.
constexpr double kTrue[3] = {12.646, -155.176, -80.863};

// One point in both files' forms: the grid row "name,x,y,h" and the WGS-84 row "name,B,L,H".
struct Rows {
  std::string grid, wgs84;
};

// Point i of a fixed set over 36-37 N, 113.5-114.5 E (zone L0 114), its northing moved by
// north_error metres.
Rows Point(const std::string& name, int i, double north_error = 0) {
  PJ* grid = proj_create(
      nullptr, ("+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step +proj=cart "
                "+ellps=WGS84 +step +proj=helmert +x=" +
                std::to_string(-kTrue[0]) + " +y=" + std::to_string(-kTrue[1]) +
                " +z=" + std::to_string(-kTrue[2]) +
                " +step +inv +proj=cart +ellps=krass +step +proj=tmerc +ellps=krass +lon_0=114 "
                "+x_0=500000 +k=1")
                   .c_str());
  const double B = 36.0 + 0.09 * i, L = 113.5 + 0.07 * ((i * 5) % 13), H = 500 + 37.0 * i;
  const PJ_COORD c = proj_trans(grid, PJ_FWD, proj_coord(L, B, H, 0));
  proj_destroy(grid);
  char g[160], w[160];
  std::snprintf(g, sizeof g, "%s,%.4f,%.4f,%.4f\n", name.c_str(), c.xyz.y + north_error, c.xyz.x,
                c.xyz.z);
  std::snprintf(w, sizeof w, "%s,%.10f,%.10f,%.4f\n", name.c_str(), B, L, H);
  return {g, w};
}

class RepeatedNames : public TempFolder {
 protected:
  // Runs zerb-shift on the two files, JSON out.
  RunResult Pair(const std::string& grid_rows, const std::string& wgs84_rows) {
    const std::string grid = Write("grid.csv", "name,x,y,h,L0\n" + WithMeridian(grid_rows));
    const std::string wgs84 = Write("wgs84.csv", "name,B,L,H\n" + wgs84_rows);
    return RunZerbShift({"--grid", grid, "--wgs84", wgs84, "-f", "json"});
  }

 private:
  static std::string WithMeridian(const std::string& rows) {
    std::string out;
    for (std::size_t start = 0, end; start < rows.size(); start = end + 1) {
      end = rows.find('\n', start);
      out += rows.substr(start, end - start) + ",114\n";
    }
    return out;
  }
};

// The value of parameter key in a JSON report.
double Parameter(const rapidjson::Value& json, const std::string& key) {
  return NumberAt(json, "/parameters/" + key + "/value");
}

// The names in a list of a JSON report ("/points", "/unpaired"), in order.
std::vector<std::string> Names(const rapidjson::Value& json, const std::string& list) {
  std::vector<std::string> names;
  for (rapidjson::SizeType k = 0; k < At(json, list).Size(); ++k)
    names.push_back(TextAt(json, list + "/" + std::to_string(k) + "/name"));
  return names;
}

// The first D of the grid file is 5 m off; D comes again two lines later. Both are refused, so
// the translation is that of the five others: within 2 mm (the inverse series' 3 mm at most,
// averaged over five points), where keeping the bad D would move tx and ty by decimetres.
TEST_F(RepeatedNames, GridNameTwiceTakesBothLinesOutOfTheFit) {
  std::string grid, wgs84;
  const char* order[] = {"P1", "D", "P2", "P3", "D", "P4", "P5"};
  for (int i = 0; i < 7; ++i) {
    const Rows r = Point(order[i], i, i == 1 ? 5.0 : 0.0);
    grid += r.grid;
    if (i != 4)
      wgs84 += r.wgs84;
  }
  const RunResult r = Pair(grid, wgs84);
  EXPECT_EQ(r.status, kExitRefused) << r.err;
  rapidjson::Document json;
  ASSERT_TRUE(ParseJson(r.out, &json)) << r.out;
  EXPECT_NE(r.err.find("line 6: name 'D' occurs again (first at line 3): both lines are refused"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(Names(json, "/points"), (std::vector<std::string>{"P1", "P2", "P3", "P4", "P5"}))
      << r.out;
  EXPECT_EQ(NumberAt(json, "/count"), 5);
  EXPECT_EQ(NumberAt(json, "/used"), 5);
  EXPECT_NEAR(Parameter(json, "tx"), kTrue[0], 0.002);
  EXPECT_NEAR(Parameter(json, "ty"), kTrue[1], 0.002);
  EXPECT_NEAR(Parameter(json, "tz"), kTrue[2], 0.002);
}

// A name three times is taken out once: the one other point is still there to be fitted.
TEST_F(RepeatedNames, GridNameThreeTimesLeavesTheOtherPointsUsable) {
  std::string grid, wgs84;
  const char* order[] = {"T", "P1", "T", "T"};
  for (int i = 0; i < 4; ++i) {
    const Rows r = Point(order[i], i);
    grid += r.grid;
    if (i < 2)
      wgs84 += r.wgs84;
  }
  const RunResult r = Pair(grid, wgs84);
  EXPECT_EQ(r.status, kExitRefused) << r.err;
  rapidjson::Document json;
  ASSERT_TRUE(ParseJson(r.out, &json)) << r.err;
  EXPECT_EQ(Names(json, "/points"), (std::vector<std::string>{"P1"}));
  EXPECT_NEAR(Parameter(json, "tx"), kTrue[0], 0.003);
}

// WGS-84 names without a grid partner are listed in the order of their lines; a name the WGS-84
// file has twice was refused already and is not listed again.
TEST_F(RepeatedNames, UnpairedWgs84NamesInLineOrderAndRefusedOnesNotAgain) {
  std::string grid, wgs84;
  for (int i = 0; i < 4; ++i) {
    const Rows r = Point("P" + std::to_string(i + 1), i);
    grid += r.grid;
    wgs84 += r.wgs84;
  }
  // Lines 6 to 10 of the WGS-84 file.
  for (const char* name : {"W3", "DUP", "W1", "DUP", "W2"})
    wgs84 += Point(name, 9).wgs84;
  const RunResult r = Pair(grid, wgs84);
  EXPECT_EQ(r.status, kExitRefused) << r.err;
  rapidjson::Document json;
  ASSERT_TRUE(ParseJson(r.out, &json)) << r.out;
  EXPECT_EQ(Names(json, "/unpaired"), (std::vector<std::string>{"W3", "W1", "W2"})) << r.out;
  EXPECT_EQ(NumberAt(json, "/unpaired/0/line"), 6);
  EXPECT_EQ(NumberAt(json, "/unpaired/1/line"), 8);
  EXPECT_EQ(NumberAt(json, "/unpaired/2/line"), 10);
  EXPECT_EQ(r.err.find("'DUP' is not in"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace zerb::test
