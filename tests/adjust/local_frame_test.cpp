// The ellipsoid normal of the local frame against GeographicLib's exact geocentric inversion.
#include "adjust/local_frame.h"

#include <gtest/gtest.h>
#include <GeographicLib/Geocentric.hpp>

#include <cmath>
#include <cstdio>

#include "geodesy/geodesy.h"

namespace zerb::adjust {
namespace {

using geodesy::DEG_TO_RAD;
using geodesy::kKrassovsky;

TEST(LocalFrame, UpIsTheEllipsoidNormalForTerrestrialHeights) {
  const GeographicLib::Geocentric krass(kKrassovsky.a,
                                        1 - std::sqrt(1 - kKrassovsky.e2));  // flattening
  double worst = 0;
  for (double lat = -89.5; lat <= 89.5; lat += 2.5) {
    for (const double h : {-500.0, 0.0, 3000.0, 9000.0}) {
      for (const double lon : {-170.0, 0.0, 75.0, 121.0}) {
        double x, y, z;
        krass.Forward(lat, lon, h, x, y, z);
        const LocalFrame f = LocalFrameAt({x, y, z});
        const double b = lat * DEG_TO_RAD, l = lon * DEG_TO_RAD;
        const double ux = std::cos(b) * std::cos(l), uy = std::cos(b) * std::sin(l),
                     uz = std::sin(b);
        const double dx = f.up.x - ux, dy = f.up.y - uy, dz = f.up.z - uz;
        worst = std::max(worst, std::sqrt(dx * dx + dy * dy + dz * dz));
        // North and east complete a right-handed orthonormal frame with up.
        EXPECT_NEAR(f.north.x * f.east.x + f.north.y * f.east.y + f.north.z * f.east.z, 0, 1e-15);
        EXPECT_NEAR(f.east.y * f.north.z - f.east.z * f.north.y, f.up.x, 1e-15);
      }
    }
  }
  // The header promises 1e-9 rad; a weight's direction needs only 1e-6 rad.
  EXPECT_LT(worst, 1e-9);
  char text[32];
  std::snprintf(text, sizeof text, "%.3g", worst);
  RecordProperty("worst_rad", text);
}

}  // namespace
}  // namespace zerb::adjust
