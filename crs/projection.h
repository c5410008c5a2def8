// The GNSS points on the grid's plane: the transverse Mercator projection, forward, through PROJ
// (+proj=tmerc, Poder and Engsager's series of Krueger's, to a few nanometres within 5 degrees of
// the central meridian), on the ellipsoid of the GNSS side. The plane model fits its similarity
// between these positions and the grid.
#ifndef ZERB_CRS_PROJECTION_H
#define ZERB_CRS_PROJECTION_H

#include <string>
#include <vector>

namespace zerb::crs {

struct TransverseMercator {
  double a = 6378137.0;  // semi-major axis, metres
  double inverse_flattening = 298.257223563;
  double central_meridian = 0;    // degrees east
  double scale = 1;               // on the central meridian
  double false_easting = 500000;  // metres
  double false_northing = 0;
};

// The shortest text in fixed notation that reads back as the same double: a PROJ string then
// holds the very numbers used.
std::string Shortest(double v);

// The PROJ string of the projection, as the plane model's pipeline writes its step.
std::string ProjString(const TransverseMercator& projection);

// Projects the points in place: latitude in *north and longitude in *east (radians) become the
// northing and easting (metres). Returns an empty string, or what PROJ refused, in the language
// of the messages.
std::string Project(const TransverseMercator& projection, std::vector<double>* north,
                    std::vector<double>* east);

}  // namespace zerb::crs

#endif  // ZERB_CRS_PROJECTION_H
