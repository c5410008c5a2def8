// The README's example points for the window's tests, with their coordinates as numbers for
// PROJ to check the window's answers against.
#ifndef ZERB_TESTS_FIT_README_POINTS_H
#define ZERB_TESTS_FIT_README_POINTS_H

#include <proj.h>

#include <array>
#include <cstdio>
#include <regex>
#include <string>

#include "tests/crs/crs_test_support.h"
#include "tests/readme_points.h"

namespace zerb::fit {

// The README's example points; GP04 carries a 0.7 m blunder in its northing.
inline constexpr const char* kPoints = test::kReadmePoints;

// Three of them as a grid file and a GNSS file, the GNSS file in another order.
inline constexpr const char* kGridFile =
    "GP01,,39458259.110,4419971.693,92.591\n"
    "GP02,,39477300.914,4435312.960,89.003\n"
    "GP03,,39508728.211,4400117.957,101.427\n";
inline constexpr const char* kGnssFile =
    "点名,纬度,经度,大地高\n"
    "GP03,39:44:04.2432,117:06:08.4420,61.455\n"
    "GP02,40:03:04.4424,116:44:04.2432,48.902\n"
    "GP01,39:54:44.4420,116:30:44.4420,52.317\n";

struct Known {
  const char* name;
  crs_test::GridPoint grid;   // easting with the zone number 39 in front
  crs_test::Geographic gnss;  // degrees
};
constexpr double Dms(double d, double m, double s) {
  return d + m / 60 + s / 3600;
}
inline const Known kKnown[] = {
    {"GP01",
     {39458259.110, 4419971.693, 92.591},
     {Dms(116, 30, 44.4420), Dms(39, 54, 44.4420), 52.317}},
    {"GP02",
     {39477300.914, 4435312.960, 89.003},
     {Dms(116, 44, 4.2432), Dms(40, 3, 4.4424), 48.902}},
    {"GP03",
     {39508728.211, 4400117.957, 101.427},
     {Dms(117, 6, 8.4420), Dms(39, 44, 4.2432), 61.455}},
    {"GP04",
     {39530367.371, 4443360.124, 114.734},
     {Dms(117, 21, 24.4404), Dms(40, 7, 24.4416), 75.030}},
    {"GP05",
     {39491472.066, 4385320.078, 85.002},
     {Dms(116, 54, 4.4424), Dms(39, 36, 4.4424), 44.871}},
    {"GP06",
     {39520977.912, 4413718.251, 98.070},
     {Dms(117, 14, 44.4408), Dms(39, 51, 24.4404), 58.220}},
};

// The point's shift WGS-84 minus Krassovsky, Earth-centred, in metres, computed by PROJ (its
// exact transverse Mercator, its geocentric conversions), not by the library under test.
inline std::array<double, 3> ShiftByProj(const Known& k) {
  const crs_test::Context context;
  const crs_test::Pj grid(proj_create(context.get(),
                                      "+proj=pipeline +step +inv +proj=tmerc +lon_0=117 "
                                      "+x_0=39500000 +k=1 +ellps=krass +step +proj=cart "
                                      "+ellps=krass"));
  const crs_test::Pj gnss(proj_create(context.get(),
                                      "+proj=pipeline +step +proj=unitconvert +xy_in=deg "
                                      "+xy_out=rad +step +proj=cart +ellps=WGS84"));
  const PJ_COORD K =
      proj_trans(grid.get(), PJ_FWD, proj_coord(k.grid.easting, k.grid.northing, k.grid.h, 0));
  const PJ_COORD W =
      proj_trans(gnss.get(), PJ_FWD, proj_coord(k.gnss.lon_deg, k.gnss.lat_deg, k.gnss.h, 0));
  return {W.xyz.x - K.xyz.x, W.xyz.y - K.xyz.y, W.xyz.z - K.xyz.z};
}

// The README's table with its angles (39:54:44.4420) written as dd.mmss (39.54444420) or as
// decimal degrees, as other controllers write them.
inline std::string WithAngles(std::string table, char form) {
  static const std::regex dms(R"((\d+):(\d\d):(\d\d)\.(\d+))");
  std::string out;
  std::smatch m;
  while (std::regex_search(table, m, dms)) {
    out += m.prefix();
    if (form == 'm') {
      out += m[1].str() + "." + m[2].str() + m[3].str() + m[4].str();
    } else {
      char degrees[32];
      std::snprintf(
          degrees, sizeof degrees, "%.10f",
          std::stod(m[1]) + std::stod(m[2]) / 60 + std::stod(m[3].str() + "." + m[4].str()) / 3600);
      out += degrees;
    }
    table = m.suffix();
  }
  return out + table;
}

}  // namespace zerb::fit

#endif  // ZERB_TESTS_FIT_README_POINTS_H
