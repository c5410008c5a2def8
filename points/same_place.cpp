// The separation of a common point's two descriptions; see same_place.h.
#include "points/same_place.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "geodesy/geodesy.h"

namespace zerb {
namespace {

constexpr double kMeanEarthRadius = 6371000.0;

// Haversine form: well conditioned for the short distances that matter here.
double GreatCircle(double lat1, double lon1, double lat2, double lon2) {
  const double s_lat = std::sin((lat2 - lat1) / 2);
  const double s_lon = std::sin((lon2 - lon1) / 2);
  const double a = s_lat * s_lat + std::cos(lat1) * std::cos(lat2) * s_lon * s_lon;
  return 2 * kMeanEarthRadius * std::asin(std::min(1.0, std::sqrt(a)));
}

}  // namespace

bool Separation::within() const {
  return horizontal <= kMaxHorizontalSeparation && std::fabs(vertical) <= kMaxVerticalSeparation;
}

Separation Separate(const GridProjection& projection, double x, double y, double h, double meridian,
                    double latitude, double longitude, double height) {
  double b = 0;
  double l = 0;
  projection.Inverse(x, y, meridian, &b, &l);
  Separation s;
  s.grid_latitude = b;
  s.grid_longitude = l;
  s.horizontal = GreatCircle(b, l, latitude * geodesy::DEG_TO_RAD, longitude * geodesy::DEG_TO_RAD);
  // A footpoint series far outside its domain can give no number at all.
  if (!std::isfinite(s.horizontal))
    s.horizontal = std::numeric_limits<double>::infinity();
  s.vertical = height - h;
  return s;
}

}  // namespace zerb
