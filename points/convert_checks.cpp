// The checks of a point to convert; see convert_checks.h.
#include "points/convert_checks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "text/translate.h"

namespace zerb {

Reason GridEasting(const ConvertRow& row, double central_meridian, double false_easting,
                   double* easting) {
  const double grid_zone = GridEastingForm(central_meridian, false_easting) == EastingForm::kZoned
                               ? std::floor(false_easting / 1e6)
                               : 0;
  if (row.zone != 0 && !(std::fabs(row.zone_meridian - central_meridian) < 1e-9)) {
    char meridian[32];
    std::snprintf(meridian, sizeof meridian, "%g", central_meridian);
    // TRANSLATORS: {1} is a zone number, {2} and {3} central meridians in degrees.
    return Fill(Tr("the easting's zone {1} has the central meridian {2}, the definition's grid "
                   "{3}: not this grid"),
                row.zone, row.zone_meridian, meridian);
  }
  *easting = row.x + grid_zone * 1e6;
  return {};
}

EastingForm GridEastingForm(double central_meridian, double false_easting) {
  if (!(std::fabs(std::fmod(false_easting, 1e6) - 500000) < 1e-6))
    return EastingForm::kPlain;
  const double zone = std::floor(false_easting / 1e6);
  const bool zone_fits = zone == 0 || std::fabs(3 * zone - central_meridian) < 1e-9 ||
                         std::fabs(6 * zone - 3 - central_meridian) < 1e-9;
  return zone_fits ? EastingForm::kZoned : EastingForm::kPlain;
}

double GridArea::margin() const {
  return std::max(kAreaMinimumMargin,
                  kAreaMarginFraction * std::max(max_east - min_east, max_north - min_north));
}

double GridArea::Distance(double east, double north) const {
  const double de = east < min_east ? min_east - east : east > max_east ? east - max_east : 0;
  const double dn = north < min_north   ? min_north - north
                    : north > max_north ? north - max_north
                                        : 0;
  return std::hypot(de, dn);
}

std::string AreaText(const GridArea& area) {
  char text[256];
  std::snprintf(text, sizeof text,
                "# the area of the fitted common points: grid easting and northing, metres\n"
                "east %.4f %.4f\nnorth %.4f %.4f\npoints %zu\n",
                area.min_east, area.max_east, area.min_north, area.max_north, area.points);
  return text;
}

Reason ParseArea(std::string_view text, GridArea* area) {
  bool east = false, north = false;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos)
      end = text.size();
    std::string line(Trim(text.substr(at, end - at)));
    at = end + 1;
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (line.empty() || line[0] == '#')
      continue;
    double a = 0, b = 0;
    unsigned long long n = 0;
    char tail = 0;
    if (std::sscanf(line.c_str(), "east %lf %lf %c", &a, &b, &tail) == 2 && a <= b) {
      area->min_east = a;
      area->max_east = b;
      east = true;
    } else if (std::sscanf(line.c_str(), "north %lf %lf %c", &a, &b, &tail) == 2 && a <= b) {
      area->min_north = a;
      area->max_north = b;
      north = true;
    } else if (std::sscanf(line.c_str(), "points %llu %c", &n, &tail) == 1) {
      area->points = n;
    } else {
      // TRANSLATORS: {1} is the line of the file in quotes.
      return Fill(Tr("not a line of an area file: {1}"), Quoted(line));
    }
  }
  if (!east || !north)
    return Tr("the area file lacks its east or north line");
  return {};
}

}  // namespace zerb
