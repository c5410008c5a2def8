// The help text of zerb-shift. The accepted column titles are taken from the readers' own tables,
// so the help cannot drift from what is read.
#include <string>

#include "cli/command_line.h"
#include "cli/readers/columns.h"

namespace zerb {
namespace {

std::string Titles(Field f, Side side) {
  return AcceptedTitles(f, side);
}

std::string BuildHelp() {
  std::string h = R"(Usage: zerb-shift [OPTION]... [FILE]
       zerb-shift --grid GRIDFILE --wgs84 WGSFILE [OPTION]...
       zerb-shift --x X --y Y --h h [--L0 L0] --B B --L L --H H [OPTION]...

Computes the shift dx, dy, dz (WGS-84 minus Krassovsky 1940, Earth-centred, metres) from common
points known as Gauss-Krueger x (northing), y (easting, 500000 m false easting), h, central
meridian L0 on Krassovsky and as WGS-84 latitude B, longitude L and ellipsoidal height H. Each
point gives bit for bit the dx, dy, dz of the zerb dialog. With several points it reports the
mean, each point's residual, the RMS, and flags points that do not fit.

Input, one of:
  FILE                     one table holding both sides of each point (standard input when
                           FILE is absent or -); its first row names the columns
  --grid GRIDFILE --wgs84 WGSFILE
                           two files paired by point name (exact, blanks around it ignored):
                           the grid file gives name, x, y, h and optionally L0, the WGS-84
                           file name, B, L, H. Names found in one file only are listed; a name
                           that occurs twice in one file is refused with both lines
  --x X --y Y --h h --B B --L L --H H
                           one point as options
Column titles (in any order; other columns are passed through to csv and json output):
)";
  const std::pair<Field, const char*> rows[] = {
      {kName, "name"},    {kNorth, "x (north)"},     {kEast, "y (east)"},
      {kGridHeight, "h"}, {kMeridian, "L0"},         {kLatitude, "B"},
      {kLongitude, "L"},  {kEllipsoidalHeight, "H"}, {kRole, "role"}};
  for (const auto& [field, label] : rows) {
    std::string line = "  " + std::string(label);
    line.resize(27, ' ');
    h += line + Titles(field, Side::kBoth) + "\n";
  }
  h += R"(  Words (name, id, lat, lon, role) in any case. In one table h and H are told apart by
  their case; in a grid file every height title (also H, 大地高) is h, in a WGS-84 file every
  height title (also h, 高程) is H. A role of check or 检核 makes a check point (--check).
Input forms (--grid-format, --wgs84-format FORM; auto by default):
  csv                      a table with a header row; the delimiter (comma, tab or semicolon)
                           is detected from the header unless -d is given; fields may be quoted
  cass                     a CASS .dat file: name,code,east,north,height per line, no header
                           (east before north); chosen automatically for a name ending in .dat
  --encoding ENC           auto (default): valid UTF-8 (with or without a byte-order mark) is
                           UTF-8, anything else GB18030 (which contains GBK, as Excel writes CSV
                           on a Chinese Windows); or utf-8, gb18030. Decided per file
  -d, --delimiter CHAR     field delimiter of the input and of csv output ("tab" for a tab)
  CRLF line ends and the empty trailing fields Excel writes are accepted. Blank lines are
  ignored; every other line that cannot be used is reported on standard error with its file,
  line number and reason, and left out.

Angles (B, L): 30:32:21.14, "30 32 21.14", 30°32′21.14″, 30°32'21.14", 30d32m21.14s or decimal
degrees (30.539206). A leading minus or a trailing S or W makes the whole angle negative:
-30:15:00 and 30:15:00S are both -30.25 degrees. Minutes 0 to 59, seconds below 60, |B| <= 90,
|L| <= 180. Decimal degrees are turned exactly into degrees, minutes and seconds, so 30.25 gives
the same result as 30:15:00. Full-width digits, signs, points and colons read as in the dialog;
lengths are plain decimals (no exponent).

Easting and zone: y has 6 integer digits (100000 to 900000 m), or 8 with the zone number in
front: zones 13 to 23 are 6-degree zones with L0 = 6n-3, zones 25 to 45 are 3-degree zones with
L0 = 3n. The zone number is removed and L0 derived from it; an L0 that disagrees is refused.
Northings are limited to 9000000 m in size. L0 is in whole degrees, -180 to 180. A point more
than 5 degrees from L0 is refused; one more than 3 degrees away is used with a warning naming
the error of the inverse projection there (up to 13 mm at 5 degrees; within 3 degrees 3.4 mm).

Point options:
  --x X, --y Y, --h h      grid northing, easting (metres) and height above Krassovsky
  --L0 DEG                 central meridian; with files, the default for rows without L0
  --B ANGLE, --L ANGLE     WGS-84 latitude and longitude
  --H H                    height above the WGS-84 ellipsoid (metres)
  (-h is not an option: the height is --h with two dashes, the help --help)

Output:
  -f, --format FORMAT      text (default): a readable report
                           csv: line, name, passed-through columns, dx, dy, dz, residuals vx,
                             vy, vz, v (3D), flagged (1/0); then a row "mean" with the final
                             mean in dx, dy, dz and a row "rms" with the RMS in vx, vy, vz, v
                           json: the points, both means, the flagged points and the RMS
                           towgs84: +towgs84=dx,dy,dz
                           proj: +proj=helmert +x=dx +y=dy +z=dz (Krassovsky to WGS-84,
                             geocentric; a step for a PROJ pipeline)
                           wkt: TOWGS84[dx,dy,dz,0,0,0,0]
                           -fcsv and --format=csv work too
  --max-residual METRES    flag points farther than this from the mean of the other points
                           (default: farther than 3 times the RMS of the other points about
                           their mean, at least 0.001 m; needs 4 points). The worst point is
                           taken out first and the rest tested again, one at a time, so that a
                           blunder cannot make good points fail by pulling their mean
  --keep-all               keep flagged points in the final mean and the exports
  --check NAME[,NAME]...   check points: left out of the fit, their residuals reported
  --help                   show this help;   --version   show the version
  --                       ends the options (a file name may then begin with -)

Numbers: a point's own dx, dy, dz are printed in csv and json with every digit needed to give
back the exact double (the dialog's value, bit for bit); means, residuals and RMS, the text
report and the towgs84, proj and wkt exports with 4 decimals (0.1 mm). Every output is UTF-8.

Exit status: 0 every line used; 1 some lines refused (the rest computed); 2 bad command line or
unreadable input; 3 no usable point (with two files: no pair).

Examples:
  $ cat points.csv
  name,x,y,h,B,L,H
  GP01,4419971.693,39458259.110,92.591,39:54:44.4420,116:30:44.4420,52.317
  GP02,4435312.960,39477300.914,89.003,40:03:04.4424,116:44:04.2432,48.902
  ...
  $ zerb-shift points.csv                     (the report: points, residuals, means, RMS)
  $ zerb-shift --format towgs84 points.csv
  +towgs84=15.7996,-130.3991,-84.9012
  $ zerb-shift --grid control.dat --wgs84 gnss.csv --format json
  $ zerb-shift --x 4419971.693 --y 39458259.110 --h 92.591 \
      --B 39:54:44.442 --L 116:30:44.442 --H 52.317
  dx =      15.7994 m
  dy =    -130.3989 m
  dz =     -84.9013 m
)";
  return h;
}

}  // namespace

std::string_view HelpText() {
  static const std::string help = BuildHelp();
  return help;
}

}  // namespace zerb
