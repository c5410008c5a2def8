#include "crs_test_support.h"

#include <proj_experimental.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <stdexcept>

namespace crs_test {
namespace {

std::string Number(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

// WGS 84 (lon, lat in degrees, h) to the grid: geocentric on WGS 84, the shift undone (PROJ's
// inverse Helmert), geodetic on Krassovsky, Gauss-Krueger. Written out from the parameters here
// so that the library's own definitions are checked against an independent construction.
std::string WgsToGridPipeline(const zerb::crs::Helmert& shift, const zerb::crs::Grid& grid) {
  std::string helmert = "+proj=helmert +x=" + Number(shift.tx) + " +y=" + Number(shift.ty) +
                        " +z=" + Number(shift.tz);
  if (shift.seven) {
    helmert += " +rx=" + Number(shift.rx) + " +ry=" + Number(shift.ry) +
               " +rz=" + Number(shift.rz) + " +s=" + Number(shift.scale_ppm) +
               " +convention=position_vector";
  }
  return "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad"
         " +step +proj=cart +ellps=WGS84 +step +inv " +
         helmert +
         " +step +inv +proj=cart +a=6378245 +rf=298.3"
         " +step +proj=tmerc +a=6378245 +rf=298.3 +lat_0=0 +k=1 +y_0=0 +lon_0=" +
         std::to_string(grid.central_meridian) + " +x_0=" + Number(grid.zone * 1e6 + 500000);
}

std::string Helmert(const zerb::crs::Helmert& shift) {
  std::string helmert = "+proj=helmert +x=" + Number(shift.tx) + " +y=" + Number(shift.ty) +
                        " +z=" + Number(shift.tz);
  if (shift.seven) {
    helmert += " +rx=" + Number(shift.rx) + " +ry=" + Number(shift.ry) +
               " +rz=" + Number(shift.rz) + " +s=" + Number(shift.scale_ppm) +
               " +convention=position_vector";
  }
  return helmert;
}

}  // namespace

std::vector<CommonPoint> CommonPointsFromGrid(const zerb::crs::Helmert& shift,
                                              const zerb::crs::Grid& grid, const char* ellps) {
  const double false_easting = grid.zone * 1e6 + 500000;
  const std::string pipeline =
      "+proj=pipeline +step +inv +proj=tmerc +a=6378245 +rf=298.3 +lat_0=0 +k=1 +y_0=0 +lon_0=" +
      std::to_string(grid.central_meridian) + " +x_0=" + Number(false_easting) +
      " +step +proj=cart +a=6378245 +rf=298.3 +step " + Helmert(shift) +
      " +step +inv +proj=cart +ellps=" + ellps + " +step +proj=unitconvert +xy_in=rad +xy_out=deg";
  // Easting from the false easting, northing, h.
  const GridPoint offsets[] = {
      {-290000.0, 2800000.0, 12.5},  {40000.0, 3520000.0, 1520.3}, {260000.0, 4230000.0, -15.2},
      {-100000.0, 4980000.0, 350.0}, {0.0, 3875000.0, 3000.0},     {-41740.9, 4420000.0, 92.6},
  };
  const Context context;
  const Pj operation(proj_create(context.get(), pipeline.c_str()));
  if (!operation) {
    throw std::runtime_error("the test's own pipeline does not build");
  }
  std::vector<CommonPoint> points;
  for (const GridPoint& offset : offsets) {
    const GridPoint g{false_easting + offset.easting, offset.northing, offset.h};
    const PJ_COORD out =
        proj_trans(operation.get(), PJ_FWD, proj_coord(g.easting, g.northing, g.h, 0));
    points.push_back({{out.lpz.lam, out.lpz.phi, out.lpz.z}, g});
  }
  return points;
}

zerb::crs::Helmert ThreeParameters() {
  return {.seven = false, .tx = 15.8, .ty = -130.4, .tz = -84.9};
}

zerb::crs::Helmert SevenParameters() {
  return {.seven = true,
          .tx = 15.8,
          .ty = -130.4,
          .tz = -84.9,
          .rx = 0.3,
          .ry = -0.6,
          .rz = 1.0,
          .scale_ppm = 0.4};
}

std::vector<CommonPoint> CommonPoints(const zerb::crs::Helmert& shift,
                                      const zerb::crs::Grid& grid) {
  const double L0 = grid.central_meridian;
  const std::vector<Geographic> wgs84 = {
      {L0 - 2.9, 25.3, 12.5},  {L0 + 0.4, 31.7, 1520.3}, {L0 + 2.95, 38.2, -15.2},
      {L0 - 1.3, 44.9, 350.0}, {L0, 35.0, 4000.0},
  };
  const Context context;
  const Pj pipeline(proj_create(context.get(), WgsToGridPipeline(shift, grid).c_str()));
  if (!pipeline) {
    throw std::runtime_error("the test's own pipeline does not build");
  }
  std::vector<CommonPoint> points;
  for (const Geographic& point : wgs84) {
    const PJ_COORD out =
        proj_trans(pipeline.get(), PJ_FWD, proj_coord(point.lon_deg, point.lat_deg, point.h, 0));
    points.push_back({point, {out.xyz.x, out.xyz.y, out.xyz.z}});
  }
  return points;
}

double HorizontalMetres(const Geographic& a, const Geographic& b) {
  // The equatorial radius overstates the metres of a degree by under 0.7 %: harmless at mm.
  constexpr double kRadius = 6378137.0;
  constexpr double kRadian = std::numbers::pi / 180;
  const double north = (a.lat_deg - b.lat_deg) * kRadian * kRadius;
  const double east = (a.lon_deg - b.lon_deg) * kRadian * kRadius * std::cos(a.lat_deg * kRadian);
  return std::hypot(north, east);
}

Pj OperationFromDefinition(PJ_CONTEXT* context, const std::string& definition, const char* target,
                           bool promote_to_3d) {
  Pj source(proj_create(context, definition.c_str()));
  if (source && promote_to_3d) {
    source = Pj(proj_crs_promote_to_3D(context, nullptr, source.get()));
  }
  const Pj target_crs(proj_create(context, target));
  if (!source || !target_crs || !proj_is_crs(source.get())) {
    return nullptr;
  }
  const Pj operation(
      proj_create_crs_to_crs_from_pj(context, source.get(), target_crs.get(), nullptr, nullptr));
  if (!operation) {
    return nullptr;
  }
  return Pj(proj_normalize_for_visualization(context, operation.get()));
}

Geographic ToWgs84(PJ* operation, const GridPoint& grid) {
  const PJ_COORD out =
      proj_trans(operation, PJ_FWD, proj_coord(grid.easting, grid.northing, grid.h, 0));
  return {out.xyz.x, out.xyz.y, out.xyz.z};
}

GridPoint ToGrid(PJ* operation, const Geographic& wgs84) {
  const PJ_COORD out =
      proj_trans(operation, PJ_INV, proj_coord(wgs84.lon_deg, wgs84.lat_deg, wgs84.h, 0));
  return {out.xyz.x, out.xyz.y, out.xyz.z};
}

}  // namespace crs_test
