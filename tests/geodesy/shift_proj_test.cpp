// ComputeShift end to end against PROJ: WGS-84 points are carried into Krassovsky Gauss-Krueger
// grid coordinates by a PROJ pipeline with a known translation, and ComputeShift must find that
// translation again from each point.
#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <memory>
#include <string>

#include "geodesy/geodesy.h"

namespace {

using zerb::geodesy::ComputeShift;
using zerb::geodesy::ShiftForm;

// A realistic Krassovsky-to-WGS-84 translation, metres, WGS-84 minus local.
constexpr double kDx = -15, kDy = 120, kDz = 60;

struct Dms {
  int deg, min;
  double sec;
};

struct Point {
  int L0;
  Dms lat, lon;
  double H;
};

// Points across the latitudes and zones the grid is used in, several near a zone's edge:
// six-degree zones (central meridians 6n - 3), a three-degree zone (3n, here 120), and one point
// each south and west of Greenwich, where the degrees are negative.
constexpr Point kPoints[] = {
    {105, {30, 39, 28.5}, {104, 3, 56.25}, 520.3},  // Chengdu
    {117, {39, 54, 27.36}, {116, 23, 17.5}, 88.2},  // Beijing
    {117, {31, 10, 5.5}, {119, 55, 12.3}, 12.5},    // 2.9 degrees east of L0
    {117, {58, 30, 0}, {114, 5, 0.75}, 210},        // 2.9 degrees west, far north
    {120, {36, 4, 1.23}, {120, 22, 59.9}, 30},      // Qingdao
    {120, {31, 13, 48}, {121, 28, 12}, 4},          // Shanghai, at the three-degree zone's edge
    {129, {45, 45, 36.9}, {126, 38, 8.8}, 150},     // Harbin
    {87, {43, 49, 33.3}, {87, 37, 0.1}, 800},       // Urumqi
    {33, {59, 56, 15}, {30, 18, 31}, 35},           // Saint Petersburg
    {153, {-33, 52, 7.7}, {151, 12, 33.5}, 58},     // Sydney
    {-3, {40, 25, 0}, {-3, 42, 13.8}, 667},         // Madrid
};

// The angle the surveyor means by deg min sec: the sign of the degrees belongs to all of it.
double Degrees(const Dms& a) {
  const double magnitude = std::abs(a.deg) + a.min / 60.0 + a.sec / 3600.0;
  return a.deg < 0 ? -magnitude : magnitude;
}

using Pipeline = std::unique_ptr<PJ, decltype(&proj_destroy)>;

// WGS-84 (lon, lat in radians, h) to Krassovsky grid (easting, northing, h): geocentric on
// WGS-84, less the shift, back to geodetic on Krassovsky, then the zone's Gauss-Krueger grid.
Pipeline WgsToKrassovskyGrid(int L0) {
  const std::string definition =
      "+proj=pipeline +step +proj=cart +ellps=WGS84"
      " +step +proj=helmert +x=" +
      std::to_string(-kDx) + " +y=" + std::to_string(-kDy) + " +z=" + std::to_string(-kDz) +
      " +step +inv +proj=cart +ellps=krass"
      " +step +proj=tmerc +ellps=krass +lat_0=0 +lon_0=" +
      std::to_string(L0) + " +k=1 +x_0=500000 +y_0=0";
  return Pipeline(proj_create(PJ_DEFAULT_CTX, definition.c_str()), &proj_destroy);
}

}  // namespace

TEST(ComputeShift, RecoversTranslationAppliedByProj) {
  for (const Point& p : kPoints) {
    const Pipeline pipeline = WgsToKrassovskyGrid(p.L0);
    ASSERT_NE(pipeline, nullptr);
    const PJ_COORD grid =
        proj_trans(pipeline.get(), PJ_FWD,
                   proj_coord(proj_torad(Degrees(p.lon)), proj_torad(Degrees(p.lat)), p.H, 0));
    ASSERT_EQ(proj_errno(pipeline.get()), 0);

    ShiftForm form;
    form.m_latDeg = p.lat.deg;
    form.m_latMin = p.lat.min;
    form.m_latSec = p.lat.sec;
    form.m_lonDeg = p.lon.deg;
    form.m_lonMin = p.lon.min;
    form.m_lonSec = p.lon.sec;
    form.m_geoH = p.H;
    form.m_gridX = grid.enu.n;  // PROJ gives the easting first; our x is the northing
    form.m_gridY = grid.enu.e;
    form.m_gridH = grid.enu.u;
    form.m_centralMeridian = p.L0;
    ComputeShift(form);

    // PROJ's geocentric and exact transverse Mercator steps are good to far below 0.1 mm. Our
    // inverse series puts the footpoint up to 2 mm too far north at 60 degrees (its meridian
    // factor is 3.2e-10 too large), which reaches each axis here as at most 1.4 mm. 2 mm passes
    // that and catches a swapped axis, a wrong sign, a shifted angle or a wrong ellipsoid, each
    // of which costs metres or more.
    EXPECT_NEAR(form.m_dx, kDx, 0.002) << p.L0 << " " << p.lat.deg << " " << p.lon.deg;
    EXPECT_NEAR(form.m_dy, kDy, 0.002) << p.L0 << " " << p.lat.deg << " " << p.lon.deg;
    EXPECT_NEAR(form.m_dz, kDz, 0.002) << p.L0 << " " << p.lat.deg << " " << p.lon.deg;
  }
}
