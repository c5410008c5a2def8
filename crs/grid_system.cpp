// The grid's system; see grid_system.h.
#include "crs/grid_system.h"

#include <cmath>

#include "crs/projection.h"
#include "text/text.h"
#include "text/translate.h"

namespace zerb::crs {

std::string ParseEllipsoid(std::string_view text, GridEllipsoid* ellipsoid) {
  struct Known {
    std::string_view name;
    GridEllipsoid ellipsoid;
  };
  static constexpr Known kKnown[] = {
      {"krassovsky", {EllipsoidKind::kKrassovsky, 6378245.0, 298.3}},
      {"iag75", {EllipsoidKind::kIag75, 6378140.0, 298.257}},
      {"cgcs2000", {EllipsoidKind::kGrs80, 6378137.0, 298.257222101}},
      {"wgs84", {EllipsoidKind::kWgs84, 6378137.0, 298.257223563}},
  };
  for (const Known& k : kKnown) {
    if (text == k.name) {
      *ellipsoid = k.ellipsoid;
      return {};
    }
  }
  const std::size_t comma = text.find(',');
  double a = 0;
  double rf = 0;
  if (comma == std::string_view::npos || !ParseOptionNumber(text.substr(0, comma), &a) ||
      !ParseOptionNumber(text.substr(comma + 1), &rf)) {
    // TRANSLATORS: {1} is the value given, in quotes.
    return Fill(Tr("unknown ellipsoid {1} (krassovsky, iag75, cgcs2000, wgs84, or A,RF: the "
                   "semi-major axis in metres and the inverse flattening)"),
                Quoted(text));
  }
  // An Earth ellipsoid, possibly grown by a projection height: anything else is a typing error.
  if (!(a >= 6350000 && a <= 6400000) || !(rf >= 280 && rf <= 310)) {
    return Fill(Tr("ellipsoid {1}: the semi-major axis must lie between 6350000 and 6400000 m "
                   "and the inverse flattening between 280 and 310"),
                Quoted(text));
  }
  *ellipsoid = {EllipsoidKind::kOwn, a, rf};
  return {};
}

std::string EllipsoidName(const GridEllipsoid& ellipsoid) {
  switch (ellipsoid.kind) {
    case EllipsoidKind::kKrassovsky:
      return "Krassovsky 1940";
    case EllipsoidKind::kIag75:
      return "IAG 1975";
    case EllipsoidKind::kGrs80:
      return "GRS 1980";
    case EllipsoidKind::kWgs84:
      return "WGS 84";
    case EllipsoidKind::kOwn:
      break;
  }
  return "a = " + Shortest(ellipsoid.a) + " m, 1/f = " + Shortest(ellipsoid.inverse_flattening);
}

std::string CheckGridSystem(const GridSystem& system) {
  if (!std::isfinite(system.false_easting) || !(std::fabs(system.false_easting) <= 1e8))
    return Tr("--false-easting needs a length in metres within 100000 km");
  if (!std::isfinite(system.false_northing) || !(std::fabs(system.false_northing) <= 1e8))
    return Tr("--false-northing needs a length in metres within 100000 km");
  if (!(system.scale >= 0.9 && system.scale <= 1.1))
    return Tr("--scale-factor needs a scale between 0.9 and 1.1");
  if (!(system.projection_height >= -1000 && system.projection_height <= 9000))
    return Tr("--projection-height needs a height between -1000 and 9000 m");
  return {};
}

}  // namespace zerb::crs
