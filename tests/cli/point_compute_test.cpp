// The shift of a common point, computed from the inverse projection the same-place check has
// made already, must be Shift's and ComputeShift's bit for bit: the frozen table holds ComputeShift
// to the dialog, and this holds the reuse to ComputeShift, over grid positions across the
// projection's domain, every central meridian form and signs of the angles.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "geodesy/geodesy.h"
#include "points/point_set.h"
#include "points/same_place.h"

namespace zerb::test {
namespace {

std::uint64_t Bits(double v) {
  return std::bit_cast<std::uint64_t>(v);
}

TEST(PointCompute, ReusingTheCheckedProjectionGivesComputeShiftsBits) {
  std::uint64_t state = 1234567;
  const auto uniform = [&state](double low, double high) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return low + (high - low) * static_cast<double>(state >> 11) * 0x1p-53;
  };
  for (int i = 0; i < 100000; ++i) {
    const geodesy::GeodeticDms wgs84{
        .latitude = {static_cast<int>(uniform(-89, 90)), static_cast<int>(uniform(0, 60)),
                     uniform(0, 60)},
        .longitude = {static_cast<int>(uniform(-179, 180)), static_cast<int>(uniform(0, 60)),
                      uniform(0, 60)},
        .height = uniform(-500, 9000)};
    const geodesy::GaussKrugerPoint grid{
        .x = uniform(-9000000, 9000000), .y = uniform(100000, 900000), .h = uniform(-500, 9000)};
    const int meridian = static_cast<int>(uniform(-180, 181));
    const Separation s = Separate(GridProjection(ProjectionKind::kDialog), grid.x, grid.y, grid.h,
                                  meridian, 0, 0, 0);
    const geodesy::ShiftResult want = geodesy::Shift(wgs84, grid, meridian);
    const geodesy::ShiftResult got =
        geodesy::ShiftOfProjected(wgs84, s.grid_latitude, s.grid_longitude, grid.h);
    geodesy::ShiftForm form;
    form.m_latDeg = wgs84.latitude.deg;
    form.m_latMin = wgs84.latitude.min;
    form.m_latSec = wgs84.latitude.sec;
    form.m_lonDeg = wgs84.longitude.deg;
    form.m_lonMin = wgs84.longitude.min;
    form.m_lonSec = wgs84.longitude.sec;
    form.m_geoH = wgs84.height;
    form.m_gridX = grid.x;
    form.m_gridY = grid.y;
    form.m_gridH = grid.h;
    form.m_centralMeridian = meridian;
    geodesy::ComputeShift(form);
    const ComputedPoint a = Compute(want);
    const ComputedPoint b = Compute(got);
    for (const auto& [x, y] : {std::pair{form.m_dx, got.dx},
                               {form.m_dy, got.dy},
                               {form.m_dz, got.dz},
                               {want.krassovsky.X, got.krassovsky.X},
                               {want.krassovsky.Z, got.krassovsky.Z},
                               {a.local.x, b.local.x},
                               {a.local.y, b.local.y},
                               {a.local.z, b.local.z}}) {
      ASSERT_EQ(Bits(x), Bits(y)) << "point " << i << ": " << x << " against " << y;
    }
  }
}

}  // namespace
}  // namespace zerb::test
