// zerb-shift --save and zerb-convert together: the definition and the area it writes are what
// zerb-convert takes, and the fitted common points come back where they were measured.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/run.h"
#include "points/convert_checks.h"
#include "tests/cli/temp_folder.h"
#include "tests/convert/support.h"

namespace zerb::convert_test {
namespace {

// The README's points: made from the translation 15.8, -130.4, -84.9 to 0.1 mm; GP04 carries a
// 0.7 m blunder that the outlier test leaves out.
constexpr const char* kPoints =
    "name,x,y,h,B,L,H\n"
    "GP01,4419971.693,39458259.110,92.591,39:54:44.4420,116:30:44.4420,52.317\n"
    "GP02,4435312.960,39477300.914,89.003,40:03:04.4424,116:44:04.2432,48.902\n"
    "GP03,4400117.957,39508728.211,101.427,39:44:04.2432,117:06:08.4420,61.455\n"
    "GP04,4443360.124,39530367.371,114.734,40:07:24.4416,117:21:24.4404,75.030\n"
    "GP05,4385320.078,39491472.066,85.002,39:36:04.4424,116:54:04.4424,44.871\n"
    "GP06,4413718.251,39520977.912,98.070,39:51:24.4404,117:14:44.4408,58.220\n";

int Shift(const std::vector<std::string_view>& args) {
  std::FILE* files[3] = {std::tmpfile(), std::tmpfile(), std::tmpfile()};
  const int status = RunShift(args, files[0], files[1], files[2]);
  for (std::FILE* f : files)
    std::fclose(f);
  return status;
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class SaveForConvert : public zerb::test::TempFolder {};

TEST_F(SaveForConvert, DefinitionAndAreaOfTheFittedPoints) {
  const std::string points = Write("points.csv", kPoints);
  const std::string saved = dir_ + "/grid.wkt2";
  ASSERT_EQ(Shift({"--model", "7", "--save", saved, points}), 0);
  EXPECT_EQ(Read(saved).rfind("BOUNDCRS[", 0), 0u);
  GridArea area;
  ASSERT_EQ(ParseArea(Read(saved + ".area"), &area), "");
  // The five points in the fit, GP04 left out: the extremes as typed.
  EXPECT_EQ(area.points, 5u);
  EXPECT_DOUBLE_EQ(area.min_east, 39458259.110);
  EXPECT_DOUBLE_EQ(area.max_east, 39520977.912);
  EXPECT_DOUBLE_EQ(area.min_north, 4385320.078);
  EXPECT_DOUBLE_EQ(area.max_north, 4435312.960);

  // GP01's grid position converted lands on its GNSS position within the fit's residual there
  // (0.3 mm) and the rounding of what is printed: 1 mm.
  const RunResult r = RunZerbConvert(
      {saved, Write("gp01.csv", "name,x,y,h\nGP01,4419971.693,39458259.110,92.591\n")});
  ASSERT_EQ(r.status, 0) << r.err;
  double lat = 0, lon = 0, h = 0;
  ASSERT_EQ(std::sscanf(r.out.c_str() + r.out.find('\n') + 1,
                        "GP01,%*[^,],%*[^,],%*[^,],%lf,%lf,%lf", &lat, &lon, &h),
            3)
      << r.out;
  EXPECT_LT(GroundMetres({lon, lat, h},
                         {116 + 30 / 60.0 + 44.442 / 3600, 39 + 54 / 60.0 + 44.442 / 3600, 52.317}),
            1e-3);
  EXPECT_NEAR(h, 52.317, 1e-3);
  EXPECT_NE(r.err.find("1 point read: 1 converted, 0 refused; 0 outside the area"),
            std::string::npos)
      << r.err;
}

TEST_F(SaveForConvert, PlaneModelSavesItsPipeline) {
  const std::string saved = dir_ + "/site.pipe";
  ASSERT_EQ(Shift({"--model", "4", "--height-fit", "constant", "--save", saved,
                   Write("points.csv", kPoints)}),
            0);
  EXPECT_EQ(Read(saved).rfind("+proj=pipeline", 0), 0u);
  GridArea area;
  ASSERT_EQ(ParseArea(Read(saved + ".area"), &area), "");
  // The plane model's similarity is fitted to eastings without the zone number.
  EXPECT_LT(area.max_east, 1e6);
}

}  // namespace
}  // namespace zerb::convert_test
