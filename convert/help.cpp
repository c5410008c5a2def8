// The help text of zerb-convert; the manual page is written from it (man/).
#include <cstdio>
#include <string>

#include "convert/command_line.h"
#include "points/convert_checks.h"
#include "text/translate.h"

namespace zerb {

// Built on each call: the language of the messages may change in a process (the tests).
std::string ConvertHelpText() {
  // TRANSLATORS: the help is a sequence of sections; keep each line within 100 columns (a
  // Chinese character takes two), the option names, values and examples as they are, and the
  // descriptions of options starting in column 28.
  std::string h = Tr(R"(Usage: zerb-convert [OPTION]... DEFINITION [FILE]

Converts points with the transformation zerb-shift fitted: from the grid (easting, northing,
height) to the GNSS side (longitude, latitude, ellipsoidal height), or back with --inverse.
DEFINITION is a file zerb-shift wrote with --format crs-wkt2, crs-projjson or pipeline (or
--save): for a CRS the operation is PROJ's from the grid to the datum it is bound to, WGS 84
(EPSG:4979) or CGCS2000 (EPSG:4480); a pipeline is used as it stands. All arithmetic is PROJ's.
FILE (standard input when absent or -) is a table with a header row, in English or Chinese
titles as zerb-shift reads them, or a CASS .dat (name,code,E,N,H). The output (standard output,
or -o FILE) has every column of the input, unchanged and in order; the converted coordinates
replace the other side's columns where the table has them (a table of common points, or one
zerb-convert wrote), else come after them: B,L,H (纬度,经度,大地高 for Chinese titles) forward;
E,N,h (X坐标,Y坐标,高程, north first, for Chinese titles) with --inverse. A CASS .dat holds grid
points: converted forward it gives a CSV titled name,code,E,N,h,B,L,H.

Options:
  --inverse                GNSS points (B, L, H) to the grid. Exact: PROJ's inverse of a
                           seven-parameter Helmert step is approximate (about 1 mm), so the
                           way back writes it as the affine step of the same matrix, which
                           PROJ inverts exactly
  -o, --output FILE        write to FILE instead of standard output
  --output-form csv|cass   cass (with --inverse): name,code,E,N,H lines without header, the
                           name and the code (a column titled code, 编码 or 代码) as read
  --output-encoding utf-8|utf-8-bom|gb18030
                           the output's encoding (default utf-8); gb18030 for Excel on a
                           Chinese Windows, utf-8-bom for Excel elsewhere
  --angle-format auto|dms|degrees|dd.mmss
                           how angles are read (with --inverse) and written: dms 39:54:44.442,
                           dd.mmss 39.5444442, degrees 39.9123450; auto reads any form but
                           a bare number as decimal degrees, and writes degrees
  --encoding ENC           the input's encoding: auto (default), utf-8, gb18030, utf-16
  --input-form auto|csv|cass
                           auto: CASS for a name ending in .dat, else a table with a header
  -d, --delimiter C        the input's delimiter (default: detected); the output keeps it
  --round-trip             convert every point back and report the largest difference in mm
  --help                   show this help
  --version                show the version

)");
  char margin[32];
  std::snprintf(margin, sizeof margin, "%.0f", kAreaMinimumMargin / 1000);
  char fraction[32];
  std::snprintf(fraction, sizeof fraction, "%.0f", kAreaMarginFraction * 100);
  h += Fill(
      // TRANSLATORS: {1} is a number of kilometres, {2} a percentage.
      Tr(R"(Checks: every line that cannot be converted is named on standard error with its file,
line and reason, and the rest is converted; the summary counts the lines read, converted and
refused. A point more than 3 degrees from the central meridian is warned about. When the file
DEFINITION.area is there (zerb-shift --save writes it), a point farther from the rectangle of
the fitted common points than a fifth of its longer side ({2} %), and at least {1} km, is
warned about and counted: the parameters are extrapolated there.

)"),
      margin, fraction);
  h += Tr(R"(Exit status: 0 every line converted; 1 some lines refused (the rest converted); 2 bad
command line, unreadable definition or input; 3 no point converted.

)");
  h +=
      Tr("Examples:\n"
         "  zerb-shift --save grid.wkt2 points.csv\n"
         "                           fit, and keep the definition and the area of the points\n"
         "  zerb-convert grid.wkt2 control.dat > control-wgs84.csv\n"
         "                           a CASS file's points as B, L, H\n"
         "  zerb-convert --inverse --output-form cass grid.wkt2 gnss.csv > new.dat\n"
         "                           GNSS points to the grid, as a CASS file\n"
         "  zerb-convert --angle-format dd.mmss --round-trip grid.pipeline grid.csv\n"
         "                           angles as a controller writes them, and the round trip\n");
  return h;
}

}  // namespace zerb
