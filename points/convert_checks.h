// What zerb-convert checks of a point before and after it is converted: the easting in the
// definition's grid (its zone number), and how far the point lies from the common points the
// definition was fitted to.
//
// The area of the common points travels beside the definition, in a file of its own that
// zerb-shift --save writes (DEFINITION.area): WKT2 could carry it as a USAGE BBOX, but PROJ 9.1's
// builder functions cannot set one, and a PROJ pipeline has no place for it. It is the rectangle
// of the fitted points' grid eastings and northings (in the definition's grid, zone number
// included). A fit holds within that rectangle; outside it the parameters are extrapolated, and
// the errors of rotations and scale grow with the distance. The margin: a fifth of the
// rectangle's longer side, at least 1 km, so that points at the edge of a survey are not
// warned about while a point one area's width away is.
#ifndef ZERB_POINTS_CONVERT_CHECKS_H
#define ZERB_POINTS_CONVERT_CHECKS_H

#include <cstddef>
#include <string>
#include <string_view>

#include "readers/convert_table.h"
#include "text/text.h"

namespace zerb {

// The easting of a row in the definition's grid, whose transverse Mercator has the given
// central meridian (degrees) and false easting (metres): an easting without zone number gets the
// zone the false easting carries; one with a zone keeps it when it is the grid's zone and has it
// replaced by the grid's when that has the same central meridian (a 6-degree and a 3-degree zone
// can share one). A zone of another central meridian refuses the row.
Reason GridEasting(const ConvertRow& row, double central_meridian, double false_easting,
                   double* easting);

// Whether the eastings of that grid carry a zone number: only when its false easting is the
// zones' 500000 m, alone or behind the number of a 3- or 6-degree zone whose central meridian is
// the grid's. Any other false easting (a city grid's 50000 m, say) is read as a plain number, as
// zerb-shift read the grid it fitted.
EastingForm GridEastingForm(double central_meridian, double false_easting);

inline constexpr double kAreaMinimumMargin = 1000.0;  // metres
inline constexpr double kAreaMarginFraction = 0.2;    // of the rectangle's longer side

struct GridArea {
  double min_east = 0, max_east = 0, min_north = 0, max_north = 0;
  std::size_t points = 0;
  double margin() const;
  // The distance from the rectangle in metres, 0 inside.
  double Distance(double east, double north) const;
};

// The text of an area file, and the area read back from one; the reason refuses the text.
std::string AreaText(const GridArea& area);
Reason ParseArea(std::string_view text, GridArea* area);

}  // namespace zerb

#endif  // ZERB_POINTS_CONVERT_CHECKS_H
