// Complete definitions of the local grid fitted by zerb-shift, for other tools to use: the
// transverse Mercator projected CRS on a local datum on the grid's ellipsoid (Krassovsky 1940
// unless its system says otherwise, grid_system.h), bound to WGS 84
// (or CGCS2000, when the GNSS points were) by the fitted Helmert transformation, in the text
// forms PROJ, GDAL and QGIS read, and a ready PROJ pipeline from the grid to that datum for cct.
//
// Every definition is built object by object through PROJ's C API and exported by PROJ; none of
// the WKT, PROJJSON or PROJ-string text is composed here. The parameters are rounded first to the
// precision of zerb-shift's exports (0.1 mm, 1e-6 arc-second, 1e-6 ppm; together under 0.1 mm at
// the Earth's surface), so the definition and the exported parameters are the same numbers.
#ifndef ZERB_CRS_CRS_DEFINITIONS_H
#define ZERB_CRS_CRS_DEFINITIONS_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "crs/grid_system.h"

namespace zerb::crs {

// The datum the fitted shift leads to, the hub of the bound CRS: WGS 84 (EPSG:4326, 4979) or
// CGCS2000 (EPSG:4490, 4480), both taken from PROJ's database.
enum class Target { kWgs84, kCgcs2000 };

// The fitted shift from the local datum to its target, position-vector convention as in
// +towgs84: translations tx, ty, tz in metres; for seven parameters also the rotations rx, ry, rz
// in arc-seconds and the scale difference in ppm. With seven false the rotations and the scale
// are ignored and the definition is a three-parameter geocentric translation.
struct Helmert {
  Target target = Target::kWgs84;
  bool seven = false;
  double tx = 0, ty = 0, tz = 0;
  double rx = 0, ry = 0, rz = 0;
  double scale_ppm = 0;
};

// The grid: central meridian L0 in degrees east (negative west), the zone number the eastings
// carry in front, 0 for eastings without it, and the system (ellipsoid, false easting and
// northing, scale, projection height; grid_system.h). A zone makes the false easting
// zone * 1e6 + 500000 m; zones 13-23 are 6-degree zones with L0 = 6 * zone - 3, zones 25-45 are
// 3-degree zones with L0 = 3 * zone.
struct Grid {
  constexpr Grid(double meridian = 0, int zone_number = 0, const GridSystem& grid_system = {})
      : central_meridian(meridian), zone(zone_number), system(grid_system) {}
  double central_meridian;
  int zone;
  GridSystem system;
};

enum class Form {
  kCrsProj,      // PROJ string of the projected CRS with +towgs84 and +type=crs
  kCrsWkt1,      // WKT1 as GDAL writes it (.prj files, QGIS custom CRS); horizontal only
  kCrsWkt2,      // WKT2:2019 BOUNDCRS of the 3D projected CRS (easting, northing, h) to WGS 84
  kCrsProjJson,  // the same BOUNDCRS as PROJJSON
  kPipeline,     // PROJ pipeline: easting, northing, h in; the target's longitude, latitude
                 // (degrees), h out
};

// Why the form cannot carry a shift to target: +towgs84 and WKT1's TOWGS84 are shifts to WGS 84 by
// definition, and toward CGCS2000 PROJ uses neither (it takes a ballpark that drops the shift).
// Empty when it can.
std::string FormRefusal(Form form, Target target);

// The option name of each form as zerb-shift spells it: "crs-proj", "crs-wkt1", "crs-wkt2",
// "crs-projjson", "pipeline"; and the form a name spells, or nothing for any other text.
std::string_view FormName(Form form);
std::optional<Form> ParseForm(std::string_view name);

// The name every definition gives the projected CRS, which says what it is so that no tool takes
// it for an EPSG CRS, e.g. "Local datum (Krassovsky 1940) / Gauss-Kruger zone 39 (CM 117E),
// 3-parameter fit to 5 points", or for a city grid "Local datum (IAG 1975) / local TM
// CM 116°30′E, FE 50000 m, h0 = 50 m, 7-parameter fit to 9 points".
std::string CrsName(const Helmert& shift, const Grid& grid, std::size_t fitted_points);

// The definition of the grid in the given form, fitted from fitted_points common points.
// Returns the reason it was refused, an English sentence saying which input is wrong or what
// PROJ refused and why, or an empty string and the text (UTF-8, no trailing newline) in *text.
// Refused: a form that cannot carry a shift to the target (FormRefusal), a central meridian
// outside -180..180, a zone outside 13-23 and 25-45 or whose central meridian differs from
// grid.central_meridian, a zone with a false easting other than 500000 m, a system
// CheckGridSystem refuses, parameters that are not finite, fewer fitted points than the model
// needs to be determined (one for three parameters, three for seven).
std::string Define(Form form, const Helmert& shift, const Grid& grid, std::size_t fitted_points,
                   std::string* text);

}  // namespace zerb::crs

#endif  // ZERB_CRS_CRS_DEFINITIONS_H
