// Reading one common point and checking its two sides agree; see common_point.h.
#include "points/common_point.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>

#include "numtext/number_text.h"
#include "points/same_place.h"
#include "readers/grid_values.h"

namespace zerb {
namespace {

// The central meridian of the grid point, from its zone number, its L0 or the default.
Reason ResolveMeridian(const GridPoint& grid, int default_meridian, int* meridian) {
  *meridian = grid.meridian != kNoMeridian ? grid.meridian : default_meridian;
  if (grid.zone != 0) {
    if (grid.meridian == kNoMeridian && default_meridian != kNoMeridian &&
        default_meridian != grid.zone_meridian) {
      return "default central meridian --L0 " + std::to_string(default_meridian) +
             " disagrees with zone " + std::to_string(grid.zone) + " of the easting (L0 " +
             std::to_string(grid.zone_meridian) + ")";
    }
    *meridian = grid.zone_meridian;
  }
  if (*meridian == kNoMeridian) {
    return "no central meridian: give L0, or an 8-digit easting with the zone number in front";
  }
  return {};
}

double MeridianDistance(const Wgs84Point& wgs84, int meridian) {
  return std::fabs(std::remainder(Degrees(wgs84.longitude) - static_cast<double>(meridian), 360.0));
}

// Whether the grid point with this meridian and the WGS-84 point at latitude, longitude are the
// same place; a longitude beyond the series' domain is not. The separation found goes to
// *separation when one is asked for.
bool Fits(const GridPoint& grid, int meridian, double latitude, double longitude, double height,
          Separation* separation = nullptr) {
  if (!(std::fabs(std::remainder(longitude - meridian, 360.0)) <= kMaxMeridianDistance))
    return false;
  const Separation s = Separate(grid.x, grid.y, grid.h, meridian, latitude, longitude, height);
  if (separation != nullptr)
    *separation = s;
  return s.within();
}

std::string Kilometres(double metres) {
  char text[48];
  if (metres < 10000)
    std::snprintf(text, sizeof text, "%.0f m", metres);
  else
    std::snprintf(text, sizeof text, "%.1f km", metres / 1000);
  return text;
}

std::string DegreesText(double degrees) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", degrees);
  return text;
}

// Decimal degrees as 39°54′44.442″, for a message.
std::string DmsText(double degrees) {
  const double a = std::fabs(degrees) + 0.5e-7 / 3600;
  const int d = static_cast<int>(a);
  const int m = static_cast<int>((a - d) * 60);
  const double sec = std::max(0.0, (a - d) * 3600 - m * 60 - 0.5e-7);
  char text[64];
  std::snprintf(text, sizeof text, "%s%d\xC2\xB0%02d\xE2\x80\xB2%s%.7g\xE2\x80\xB3",
                degrees < 0 ? "-" : "", d, m, sec < 10 ? "0" : "", sec);
  return text;
}

// "3-degree zone 38", "6-degree zone 20", or both; empty for a meridian of no standard zone.
std::string ZonesOf(int meridian) {
  std::string zones;
  if (meridian % 3 == 0 && meridian / 3 >= 25 && meridian / 3 <= 45)
    zones = "3-degree zone " + std::to_string(meridian / 3);
  if ((meridian + 3) % 6 == 0 && (meridian + 3) / 6 >= 13 && (meridian + 3) / 6 <= 23) {
    zones += zones.empty() ? "" : ", ";
    zones += "6-degree zone " + std::to_string((meridian + 3) / 6);
  }
  return zones;
}

// The grid values read with north and east exchanged, as when a CASS-ordered row (east first)
// is read as north first; false when they do not read so.
bool ReadSwapped(const Record& record, GridPoint* swapped) {
  Easting e;
  if (!ParseLength(record.value[kEast], &swapped->x).empty() ||
      !(std::fabs(swapped->x) <= kMaxNorthing) || !ParseEasting(record.value[kNorth], &e).empty() ||
      !ParseLength(record.value[kGridHeight], &swapped->h).empty()) {
    return false;
  }
  swapped->y = e.y;
  swapped->zone = e.zone;
  swapped->zone_meridian = e.zone_meridian;
  return Trim(record.value[kMeridian]).empty() ||
         ParseCentralMeridian(record.value[kMeridian], &swapped->meridian).empty();
}

bool SwappedFits(const Record& record, int default_meridian, const Wgs84Point& wgs84) {
  GridPoint swapped;
  int meridian;
  return ReadSwapped(record, &swapped) &&
         ResolveMeridian(swapped, default_meridian, &meridian).empty() &&
         Fits(swapped, meridian, Degrees(wgs84.latitude), Degrees(wgs84.longitude), wgs84.height);
}

// Why a point whose grid values read, with its central meridian, is not at its WGS-84 place:
// the first of the likely causes that makes it fit, else the separation itself.
Reason NotTheSamePlace(const Record& record, const Columns& columns, const GridPoint& grid,
                       int meridian, const Wgs84Point& wgs84, const PointReading& reading) {
  const double lat = Degrees(wgs84.latitude);
  const double lon = Degrees(wgs84.longitude);
  const double off = MeridianDistance(wgs84, meridian);
  std::string what;
  if (off > kMaxMeridianDistance) {
    char distance[32];
    std::snprintf(distance, sizeof distance, "%.2f", off);
    what = std::string("the WGS-84 longitude lies ") + distance +
           " degrees from the central meridian " + std::to_string(meridian) + " (more than 5)";
  } else {
    const Separation s = Separate(grid.x, grid.y, grid.h, meridian, lat, lon, wgs84.height);
    if (!std::isfinite(s.horizontal)) {
      what = "the grid position has no place in the projection near the WGS-84 position";
    } else if (s.horizontal > kMaxHorizontalSeparation) {
      what = "the grid position and the WGS-84 position lie " + Kilometres(s.horizontal) +
             " apart (a datum shift moves a point by at most " +
             std::to_string(static_cast<int>(kMaxHorizontalSeparation)) + " m)";
    } else {
      char text[160];
      std::snprintf(text, sizeof text,
                    "H - h is %.1f m (a datum shift and the height anomaly together stay within "
                    "%.0f m)",
                    s.vertical, kMaxVerticalSeparation);
      what = text;
    }
  }
  what += ": not the same place";

  // Bare numbers read as decimal degrees that fit as dd.mmss.
  const Angle& b = wgs84.latitude;
  const Angle& l = wgs84.longitude;
  if (reading.angle_format == AngleFormat::kAuto && (b.bare_number || l.bare_number)) {
    const double lat2 = b.bare_number ? AsDdMmss(b) : lat;
    const double lon2 = l.bare_number ? AsDdMmss(l) : lon;
    if (std::isfinite(lat2) && std::isfinite(lon2) &&
        Fits(grid, meridian, lat2, lon2, wgs84.height)) {
      const Angle& shown = b.bare_number ? b : l;
      return what + "; the angles fit when read as dd.mmss (" + DegreesText(Degrees(shown)) +
             " is then " + DmsText(AsDdMmss(shown)) + "): give --angle-format dd.mmss";
    }
  }
  // Another central meridian: every whole degree within the series' domain of the longitude.
  for (int m = static_cast<int>(std::ceil(lon - kMaxMeridianDistance));
       m <= static_cast<int>(std::floor(lon + kMaxMeridianDistance)); ++m) {
    if (m == meridian || !Fits(grid, m, lat, lon, wgs84.height))
      continue;
    const std::string zones = ZonesOf(m);
    std::string hint = "; the point fits central meridian " + std::to_string(m) +
                       (zones.empty() ? "" : " (" + zones + ")");
    if (grid.zone != 0) {
      hint += ", not " + std::to_string(meridian) + " of zone " + std::to_string(grid.zone) +
              " in its easting";
    } else if (grid.meridian != kNoMeridian) {
      hint += ": its " + columns.Label(kMeridian) + " says " + std::to_string(meridian);
    } else {
      hint += ": give --L0 " + std::to_string(m);
    }
    return what + hint;
  }
  if (SwappedFits(record, reading.default_meridian, wgs84)) {
    return what + "; it fits with " + columns.Label(kNorth) + " and " + columns.Label(kEast) +
           " swapped (north is x, east is y; a CASS .dat has east before north)";
  }
  return what + " (a mistyped value, or another point of the same name?)";
}

}  // namespace

Reason MakeCommonPoint(const Record& record, const Columns& columns, const Wgs84Point& wgs84,
                       const PointReading& reading, CommonPoint* point) {
  GridPoint& grid = point->grid;
  if (Reason r = ReadGridPoint(record, columns, &grid); !r.empty()) {
    if (SwappedFits(record, reading.default_meridian, wgs84)) {
      return r + "; the point fits with " + columns.Label(kNorth) + " and " + columns.Label(kEast) +
             " swapped (north is x, east is y; a CASS .dat has east before north)";
    }
    return r;
  }
  int meridian;
  if (Reason r = ResolveMeridian(grid, reading.default_meridian, &meridian); !r.empty())
    return r;
  Separation separation;
  if (!Fits(grid, meridian, Degrees(wgs84.latitude), Degrees(wgs84.longitude), wgs84.height,
            &separation))
    return NotTheSamePlace(record, columns, grid, meridian, wgs84, reading);
  point->wgs84 = wgs84;
  point->grid_latitude = separation.grid_latitude;
  point->grid_longitude = separation.grid_longitude;
  point->meridian_distance = MeridianDistance(wgs84, meridian);
  point->gauss_kruger = {.x = grid.x, .y = grid.y, .h = grid.h};
  point->central_meridian = meridian;
  const FormDms fb = ToFormDms(wgs84.latitude);
  const FormDms fl = ToFormDms(wgs84.longitude);
  point->wgs84_dms = {.latitude = {fb.deg, fb.min, fb.sec},
                      .longitude = {fl.deg, fl.min, fl.sec},
                      .height = wgs84.height};
  return {};
}

geodesy::ShiftResult ShiftOf(const CommonPoint& point) {
  return geodesy::ShiftOfProjected(point.wgs84_dms, point.grid_latitude, point.grid_longitude,
                                   point.gauss_kruger.h);
}

}  // namespace zerb
