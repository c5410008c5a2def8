// Reading one common point and checking its two sides agree; see common_point.h.
#include "cli/points/common_point.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>

#include "cli/points/grid_values.h"
#include "numtext/number_text.h"

namespace zerb {
namespace {

// Footpoint latitude up to about 81 degrees; the inverse series is not meant for the polar caps.
constexpr double kMaxNorthing = 9000000.0;

std::string Refusal(const Columns& columns, const Record& record, Field field, const Reason& why) {
  return "column " + columns.Label(field) + " " + Quoted(Trim(record.value[field])) + ": " + why;
}

}  // namespace

Reason ReadGridPoint(const Record& record, const Columns& columns, GridPoint* point) {
  *point = GridPoint();
  if (Reason r = ParseLength(record.value[kNorth], &point->x); !r.empty())
    return Refusal(columns, record, kNorth, r);
  if (!(std::fabs(point->x) <= kMaxNorthing)) {
    return Refusal(columns, record, kNorth,
                   "northing beyond 9000000 m (the polar caps are outside the grid)");
  }
  Easting easting;
  if (Reason r = ParseEasting(record.value[kEast], &easting); !r.empty())
    return Refusal(columns, record, kEast, r);
  point->y = easting.y;
  point->zone = easting.zone;
  point->zone_meridian = easting.zone_meridian;
  if (Reason r = ParseLength(record.value[kGridHeight], &point->h); !r.empty())
    return Refusal(columns, record, kGridHeight, r);
  if (!Trim(record.value[kMeridian]).empty()) {
    if (Reason r = ParseCentralMeridian(record.value[kMeridian], &point->meridian); !r.empty())
      return Refusal(columns, record, kMeridian, r);
    if (point->zone != 0 && point->meridian != point->zone_meridian) {
      return "central meridian " + columns.Label(kMeridian) + " " +
             std::to_string(point->meridian) + " disagrees with zone " +
             std::to_string(point->zone) + " of easting " + Quoted(Trim(record.value[kEast])) +
             " (L0 " + std::to_string(point->zone_meridian) + ")";
    }
  }
  return {};
}

Reason ReadWgs84Point(const Record& record, const Columns& columns, Wgs84Point* point) {
  for (const auto& [field, axis, angle] :
       {std::tuple(kLatitude, AngleAxis::kLatitude, &point->latitude),
        std::tuple(kLongitude, AngleAxis::kLongitude, &point->longitude)}) {
    if (Reason r = ParseAngle(record.value[field], axis, angle); !r.empty())
      return Refusal(columns, record, field, r);
    if (columns.dms[field] && angle->bare_decimal) {
      return Refusal(columns, record, field,
                     "a decimal number where the title says degrees, minutes and seconds (packed "
                     "dd.mmss is not read: write 39:54:44.442 or 39°54′44.442″)");
    }
  }
  if (Reason r = ParseLength(record.value[kEllipsoidalHeight], &point->height); !r.empty())
    return Refusal(columns, record, kEllipsoidalHeight, r);
  return {};
}

bool IsCheckPoint(const Record& record) {
  const std::string folded = FoldToAscii(Trim(record.value[kRole]));
  std::string role(Trim(folded));
  for (char& c : role)
    c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
  return role == "check" || role == "检核";
}

Reason MakeForm(const GridPoint& grid, const Wgs84Point& wgs84, int default_meridian,
                ShiftForm* form, double* meridian_distance) {
  int meridian = grid.meridian != kNoMeridian ? grid.meridian : default_meridian;
  if (grid.zone != 0) {
    if (grid.meridian == kNoMeridian && default_meridian != kNoMeridian &&
        default_meridian != grid.zone_meridian) {
      return "default central meridian --L0 " + std::to_string(default_meridian) +
             " disagrees with zone " + std::to_string(grid.zone) + " of the easting (L0 " +
             std::to_string(grid.zone_meridian) + ")";
    }
    meridian = grid.zone_meridian;
  }
  if (meridian == kNoMeridian) {
    return "no central meridian: give L0, or an 8-digit easting with the zone number in front";
  }
  const double off =
      std::fabs(std::remainder(Degrees(wgs84.longitude) - static_cast<double>(meridian), 360.0));
  if (off > kMaxMeridianDistance) {
    char distance[32];
    std::snprintf(distance, sizeof distance, "%.2f", off);
    return std::string("the WGS-84 longitude lies ") + distance +
           " degrees from the central meridian " + std::to_string(meridian) +
           " (more than 5): not the same point (wrong L0 or zone?)";
  }
  *meridian_distance = off;
  form->m_gridX = grid.x;
  form->m_gridY = grid.y;
  form->m_gridH = grid.h;
  form->m_centralMeridian = meridian;
  const FormDms b = ToFormDms(wgs84.latitude);
  form->m_latDeg = b.deg;
  form->m_latMin = b.min;
  form->m_latSec = b.sec;
  const FormDms l = ToFormDms(wgs84.longitude);
  form->m_lonDeg = l.deg;
  form->m_lonMin = l.min;
  form->m_lonSec = l.sec;
  form->m_geoH = wgs84.height;
  return {};
}

}  // namespace zerb
