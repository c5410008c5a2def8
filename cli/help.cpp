// The help text of zerb-shift. The accepted column titles and units are taken from the readers'
// own tables, so the help cannot drift from what is read.
#include <algorithm>
#include <string>
#include <utility>

#include "cli/command_line.h"
#include "readers/columns.h"
#include "readers/units.h"
#include "text/text.h"
#include "text/translate.h"

namespace zerb {
namespace {

std::string Titles(Field f, Side side) {
  return AcceptedTitles(f, side);
}

// line padded with blanks to the given width on a terminal, where a CJK character takes two
// columns (the options' descriptions start in one column whatever the language).
std::string PadTo(std::string line, std::size_t width) {
  std::size_t columns = 0;
  for (std::size_t i = 0; i < line.size();) {
    const std::size_t n =
        std::max<std::size_t>(1, Utf8SequenceLength(std::string_view(line).substr(i)));
    columns += n >= 3 ? 2 : 1;  // U+0800 and above: CJK and full-width forms here
    i += n;
  }
  if (columns < width)
    line.append(width - columns, ' ');
  return line;
}

}  // namespace

// Built on each call: the language of the messages may change in a process (the tests).
std::string HelpText() {
  // TRANSLATORS: the help is a sequence of sections; keep each line within 100 columns (a
  // Chinese character takes two), the option names, values and examples as they are, and the
  // descriptions of options starting in column 28.
  std::string h = Tr(R"(Usage: zerb-shift [OPTION]... [FILE]
       zerb-shift --grid GRIDFILE --wgs84 WGSFILE [OPTION]...
       zerb-shift --x X --y Y --h h [--L0 L0] --B B --L L --H H [OPTION]...

Computes the shift dx, dy, dz (WGS-84 minus Krassovsky 1940, Earth-centred, metres) from common
points known as Gauss-Krueger x (northing), y (easting, 500000 m false easting), h, central
meridian L0 on Krassovsky and as WGS-84 latitude B, longitude L and ellipsoidal height H. Each
point gives bit for bit the dx, dy, dz of the zerb dialog. With several points it fits three or
seven parameters and reports each point's residual, sigma0 and the tests, and flags points that
do not fit.

Input, one of:
  FILE                     one table holding both sides of each point (standard input when
                           FILE is absent or -); its first row names the columns; a name
                           given twice is refused with both lines
  --grid GRIDFILE --wgs84 WGSFILE
                           two files paired by point name (exact, blanks around it ignored):
                           the grid file gives name, x, y, h and optionally L0, the WGS-84
                           file name, B, L, H. Names found in one file only are listed; a name
                           that occurs twice in one file is refused with both lines
  --x X --y Y --h h --B B --L L --H H
                           one point as options
Column titles (in any order; other columns are passed through to csv and json output):
)");
  const std::pair<Field, const char*> rows[] = {
      {kName, "name"},    {kNorth, NoTr("x (north)")}, {kEast, NoTr("y (east)")},
      {kGridHeight, "h"}, {kMeridian, "L0"},           {kLatitude, "B"},
      {kLongitude, "L"},  {kEllipsoidalHeight, "H"},   {kRole, "role"}};
  for (const auto& [field, label] : rows) {
    // Only the axes' descriptions are words; the other labels are the symbols a table uses.
    const bool words = field == kNorth || field == kEast;
    h += PadTo("  " + std::string(words ? Tr(label) : label), 27) + Titles(field, Side::kBoth) +
         "\n";
  }
  h += Tr(R"(  Words (name, id, Northing, Easting, lat, Latitude, lon, Longitude, role) in any case,
  letters as listed. 纵 (ordinate) is x north and 横 (abscissa) y east, as Chinese surveying
  names the axes. In one table h and H are told apart by their case; in a grid file every
  height title (also H, 大地高) is h, in a WGS-84 file every height title (also h, 高程) is H.
  A role column says what a point is for: empty, control or 控制 (every fit); check or 检核
  (a check point, --check); horizontal or 平面, vertical or 高程 (the plane model's horizontal
  or height fit only). Any other value refuses the line.
  A title may end in its unit in parentheses: X(m), 纬度（°）, H (m). A unit that does not suit
  the column refuses the file, so that feet or kilometres are never read as metres; a column
  passed through keeps any unit. Units taken:
)");
  h += PadTo("  " + std::string(Tr("lengths (x, y, h, H)")), 27) + LengthUnits() + "\n";
  h += PadTo("  " + std::string(Tr("angles (L0, B, L)")), 27) + DegreeUnits() + "\n";
  // TRANSLATORS: {1} lists the units of angles written apart (dms, d:m:s, ...).
  h += PadTo("  " + std::string(Tr("angles written apart")), 27) +
       Fill(Tr(R"({1}: degrees, minutes and
                           seconds apart (39:54:44.442); a decimal number there is
                           refused unless --angle-format says how to read it
)"),
            DmsUnits());
  h += Tr(R"(Input forms (--grid-format, --wgs84-format FORM; auto by default):
  csv                      a table with a header row; the delimiter (comma, tab or semicolon)
                           is detected from the header unless -d is given; fields may be quoted
  cass                     a CASS .dat file: name,code,east,north,height per line, no header
                           (east before north); chosen automatically for a grid file whose
                           name ends in .dat. A table of both sides is always csv
  --encoding ENC           auto (default): valid UTF-8 is UTF-8, anything else GB18030 (which
                           contains GBK, as Excel writes CSV on a Chinese Windows); or utf-8,
                           gb18030 (also gbk, cp936), utf-16le, utf-16be, utf-16 (byte-order
                           mark required). A byte-order mark decides whatever ENC says: UTF-8,
                           or UTF-16 as Excel saves "Unicode text". UTF-16 without a mark is
                           never guessed: give utf-16le or utf-16be. Decided per file
  --angle-format FORM      auto (default): the forms below, a bare number is decimal degrees;
                           dd.mmss: a bare number is degrees.minutes seconds, as Chinese survey
                           software writes it (39.54444420 = 39°54′44.4420″, minutes and
                           seconds below 60); degrees: decimal degrees only; dms: degrees,
                           minutes and seconds only
  --projection KIND        how a grid position becomes latitude and longitude on Krassovsky:
                           exact (default): the transverse Mercator as PROJ, GDAL and QGIS
                           apply the exports with it (to 0.01 mm); dialog: the dialog's
                           series, its dx, dy, dz to the bit (good to 3.4 mm at 3° from L0)
  -d, --delimiter CHAR     field delimiter of the input and of csv output ("tab" for a tab)
  CRLF line ends and the empty trailing fields Excel writes are accepted. Blank lines are
  ignored, and so are rows of delimiters only (",,,,,,"); every other line that cannot be used
  is reported on standard error with its file, line number and reason, and left out. A named
  pipe (as from <(...)) is read as standard input is.

)");
  h += Tr(R"(GNSS datum:
  --gnss-datum DATUM       the datum of the GNSS side's B, L and H: wgs84 (default) or
                           cgcs2000 (China Geodetic Coordinate System 2000, GRS80 ellipsoid),
                           turned Earth-centred on GRS80, not WGS 84's ellipsoid (0.1 to 0.2 mm
                           apart); the parameters then lead to CGCS2000 and the CRS forms are
                           bound to it (transform to EPSG:4480 or 4490). Refused with
                           cgcs2000: towgs84, wkt, crs-proj and crs-wkt1 (+towgs84 and TOWGS84
                           are shifts to WGS 84 by definition, and PROJ drops them toward
                           CGCS2000), and --projection dialog (it gives the dialog's bits, and
                           the dialog knows WGS 84 only)

)");
  h += Tr(R"(Grid system (default: Beijing 1954, Gauss-Krueger on Krassovsky 1940):
  --ellipsoid ELL          the grid's ellipsoid: krassovsky (default; Beijing 1954), iag75
                           (Xi'an 1980, a = 6378140 m, 1/f = 298.257), cgcs2000 (GRS80),
                           wgs84, or A,RF: a semi-major axis in metres and an inverse
                           flattening of one's own
  --central-meridian ANGLE the central meridian as an angle in the forms of B and L (116:30:00,
                           116°30′, 116.5; dd.mmss with --angle-format dd.mmss), for a city
                           or project grid; instead of --L0, the meridian of every row: an L0
                           column or a zone number in an easting must agree with it
  --false-easting E        metres (default 500000). Any other value reads eastings as plain
                           numbers, without a zone number in front
  --false-northing N       metres (default 0)
  --scale-factor K         the scale on the central meridian (default 1)
  --projection-height H0   the height in metres of the surface the grid lies on (default 0):
                           the ellipsoid grown by H0 at the same flattening, a' = a + H0, which
                           is the ellipsoid's own projection with the scale times (a + H0) / a;
                           every export carries it so. Heights stay above the ellipsoid
  The CRS forms are built on that ellipsoid and projection and named after them; --projection
  dialog is refused with any of these (the dialog's series is Beijing 1954's only). With
  --model 4 the GNSS points are projected with the same central meridian, false easting and
  northing, scale and projection height, on their own ellipsoid.

)");
  h += Tr(
      R"(Angles (B, L): 30:32:21.14, "30 32 21.14", 30°32′21.14″, 30°32'21.14", 30d32m21.14s or decimal
degrees (30.539206); with --angle-format dd.mmss a bare number is dd.mmss instead. A leading
minus or a trailing S or W makes the whole angle negative: -30:15:00 and 30:15:00S are both
-30.25 degrees. Minutes 0 to 59, seconds below 60, |B| <= 90, |L| <= 180. Decimal degrees
are turned exactly into degrees, minutes and seconds, so 30.25 gives the same result as
30:15:00. Full-width digits, signs, points and colons read as in the dialog; lengths are plain
decimals (no exponent).

)");
  h += Tr(
      R"(Easting and zone: y has 6 integer digits (100000 to 900000 m), or 8 with the zone number in
front: zones 13 to 23 are 6-degree zones with L0 = 6n-3, zones 25 to 45 are 3-degree zones with
L0 = 3n. The zone number is removed and L0 derived from it; an L0 that disagrees is refused.
Northings are limited to 9000000 m in size. L0 is in whole degrees, -180 to 180. A point more
than 5 degrees from L0 is refused; one more than 3 degrees away is used with a warning naming
the error of the inverse projection there (up to 13 mm at 5 degrees; within 3 degrees 3.4 mm).

)");
  h += Tr(R"(Same place: before a point enters any fit, its grid position (inverse projected on
Krassovsky) is compared with its WGS-84 B, L and its h with H. A datum shift between the two
moves a point by less than 300 m horizontally, and H - h (the shift and a height anomaly) stays
within 200 m; a point beyond either is refused with its file and line, and with the likely cause
when one makes it fit: the angles are dd.mmss, another central meridian or zone, or north and
east swapped.

)");
  h += Tr(R"(Point options:
  --x X, --y Y, --h h      grid northing, easting (metres) and height above Krassovsky
  --L0 DEG                 central meridian; with files, the default for rows without L0
  --B ANGLE, --L ANGLE     WGS-84 latitude and longitude
  --H H                    height above the WGS-84 ellipsoid (metres)
  (-h is not an option: the height is --h with two dashes, the help --help)

)");
  h += Tr(R"(Model and statistics:
  --model 3|7|4            3 (default): three translations, the mean of the points' shifts;
                           7: Bursa-Wolf, three translations, three rotations and a scale,
                           applied as PROJ applies a seven-value +towgs84 (at least 3 points);
                           4: for a site, a plane similarity (two shifts, a rotation, a scale)
                           from the GNSS points, projected by the grid's transverse Mercator
                           on their own ellipsoid, onto the grid, and a height fit of H - h
                           (at least 2 points)
  --fix-scale              model 4: hold the scale at 1
  --height-fit FIT         model 4: none, constant (1 point or more), plane (3), quadric (6),
                           or auto (default): constant for 1 to 3 height points, plane for 4
                           to 9, quadric from 10, a simpler one where the layout cannot
                           determine it
  --horizontal-only NAME[,NAME]...  model 4: these points in the horizontal fit only
  --vertical-only NAME[,NAME]...    model 4: these points in the height fit only
  --convention CONV        position-vector (default) or coordinate-frame: the sign of the
                           rotations in the report, csv, json and proj; named in every output
  --sigma H[,V]            a-priori standard deviation of one coordinate in metres,
                           horizontal and vertical: weights, the global chi-square test, and
                           the outlier test against it
  --alpha A                significance of each point's outlier test (default 0.001)
  --max-residual METRES    instead of the statistical test: flag a point whose estimated gross
                           error exceeds this
  --keep-all               keep flagged points in the fit and the exports
  --horizontal-limit M, --vertical-limit M
                           residual limits in metres: each point's horizontal residual (the
                           length of vN, vE) and vertical one (vU, or the height fit's) is
                           held against them, and the text and html reports say which points
                           are outside; the fit is not changed
  --check NAME[,NAME]...   check points: left out of the fit, their residuals reported;
                           each NAME must be a point of the input
  --plot FILE.svg          draw the points with their residuals (arrows horizontal, bars
                           vertical, each at a scale of its own)
Outlier test: data snooping, one point's three residuals tested together (Baarda's
multidimensional test; with --model 4 the two of a position, and a height alone), the worst
point taken out first and the rest tested again. Without
--sigma each point is tested against the sigma0 of the fit without it (F-distributed), so a
blunder cannot hide itself; residuals below 0.001 m are never flagged.

)");
  h += Tr(R"(Output:
  -f, --format FORMAT      one of the formats below (-fcsv and --format=csv work too)
  --help                   show this help
  --version                show the version
  --                       ends the options (a file name may then begin with -)
Formats:
  text                     the report (default): each point's shift, residual in north,
                           east, up, redundancy, test statistic and MDB; sigma0, the
                           parameters with their standard deviations and correlations, the
                           tests
  csv                      a row per point with every statistic, then rows with the
                           parameters, the convention and sigma0
  json                     everything, the correlation matrix included
  towgs84                  +towgs84=dx,dy,dz[,rx,ry,rz,s] (position-vector by definition)
  proj                     a +proj=helmert step (the grid's datum to WGS-84, geocentric), with
                           +convention= for seven parameters
  wkt                      TOWGS84[dx,dy,dz,rx,ry,rz,s] (position-vector by definition)
  crs-proj                 the projected CRS as a PROJ string with +towgs84 and +type=crs
  crs-wkt1                 WKT1 as GDAL writes it (.prj files, QGIS); carries the horizontal
                           position only
  crs-wkt2                 WKT2 BOUNDCRS of a 3D projected CRS (easting, northing,
                           ellipsoidal height) bound to WGS 84: heights are carried too
  crs-projjson             the same as PROJJSON
  pipeline                 a PROJ pipeline from easting, northing, h to WGS-84 longitude,
                           latitude (degrees) and height, for cct (cct -I goes back); for
                           model 4 with a constant or plane height fit too
  parameters               model 4: the parameters as a controller asks for them (shifts,
                           rotation in d°m′s″ and seconds, scale, height-fit coefficients and
                           their reference point)
  The CRS forms are built by PROJ; transform to EPSG:4979 (a BoundCRS's shift is used only
  toward its hub, WGS 84). With a zone number in the eastings the false easting is
  zone*1000000+500000.

)");
  h += Tr(R"(For zerb-convert:
  --save FILE              also write the definition zerb-convert takes: the --format chosen
                           when it is crs-wkt2, crs-projjson or pipeline, else crs-wkt2 (the
                           pipeline with --model 4); and FILE.area, the rectangle of the grid
                           positions of the points in the final fit

)");
  h += Tr(
      R"(Numbers: a point's own dx, dy, dz are printed in csv and json with every digit needed to give
back the exact double (the dialog's value, bit for bit); residuals and translations with 4
decimals (0.1 mm), rotations (arc-seconds) and scale (ppm) with 6, so that rounding never moves
a point by 0.1 mm. Every output is UTF-8.

)");
  h += Tr(R"(Exit status: 0 every line used; 1 some lines refused or names left unpaired (the rest
computed); 2 bad command line, unreadable input, or a --check name that no point has; 3 no
usable point (with two files: no pair); 4 the fitted parameters cannot be a transformation
between two geodetic datums (a shift at the points' centre beyond 1000 m, a rotation beyond 20
arc-seconds, a scale beyond 50 ppm, each by more than three standard deviations, or sigma0
beyond 5 m): the report says so and no export is written.

)");
  // A normal literal: xgettext would take the backslash-newline in a raw one as a splice.
  h +=
      Tr("Examples:\n"
         "  zerb-shift points.csv\n"
         "                           the report of one table holding both sides of each point\n"
         "  zerb-shift --model 7 --format towgs84 points.csv\n"
         "                           the seven parameters as +towgs84\n"
         "  zerb-shift --grid control.dat --wgs84 gnss.csv --format json\n"
         "                           a CASS file and a GNSS table paired by name, as JSON\n"
         "  zerb-shift --format crs-wkt2 points.csv > grid.wkt\n"
         "                           the grid's CRS for QGIS and GDAL\n"
         "  zerb-shift --projection dialog --x 4419971.693 --y 39458259.110 --h 92.591 \\\n"
         "      --B 39:54:44.442 --L 116:30:44.442 --H 52.317\n"
         "                           one point: dx, dy, dz as the dialog shows them\n");
  return h;
}

}  // namespace zerb
