// The shift of a common point, computed from the inverse projection the same-place check has
// made already, must be ComputeShift's bit for bit: the frozen table holds ComputeShift to the
// dialog, and this holds the reuse to ComputeShift, over grid positions across the projection's
// domain, every central meridian form and signs of the angles.
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
    ShiftForm form;
    form.m_gridX = uniform(-9000000, 9000000);
    form.m_gridY = uniform(100000, 900000);
    form.m_gridH = uniform(-500, 9000);
    form.m_centralMeridian = static_cast<int>(uniform(-180, 181));
    form.m_latDeg = static_cast<int>(uniform(-89, 90));
    form.m_latMin = static_cast<int>(uniform(0, 60));
    form.m_latSec = uniform(0, 60);
    form.m_lonDeg = static_cast<int>(uniform(-179, 180));
    form.m_lonMin = static_cast<int>(uniform(0, 60));
    form.m_lonSec = uniform(0, 60);
    form.m_geoH = uniform(-500, 9000);
    const Separation s =
        Separate(form.m_gridX, form.m_gridY, form.m_gridH, form.m_centralMeridian, 0, 0, 0);
    ShiftForm reused = form;
    const ComputedPoint want = Compute(&form);
    const ComputedPoint got = Compute(&reused, s.grid_latitude, s.grid_longitude);
    for (const auto& [a, b] : {std::pair{want.shift.x, got.shift.x},
                               {want.shift.y, got.shift.y},
                               {want.shift.z, got.shift.z},
                               {want.local.x, got.local.x},
                               {want.local.y, got.local.y},
                               {want.local.z, got.local.z},
                               {form.m_dx, reused.m_dx},
                               {form.m_dz, reused.m_dz}}) {
      ASSERT_EQ(Bits(a), Bits(b)) << "point " << i << ": " << a << " against " << b;
    }
  }
}

}  // namespace
}  // namespace zerb::test
