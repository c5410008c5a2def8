// The command line of zerb-shift; see options.h.
#include "cli/options.h"

#include "cli/grid.h"

namespace zerb {
namespace {

constexpr std::string_view kHelp = R"(Usage: zerb-shift [OPTION]... [FILE]
       zerb-shift --x X --y Y --h h [--L0 L0] --B B --L L --H H [OPTION]...

Computes the shift dx, dy, dz (WGS-84 minus Krassovsky 1940, Earth-centred, metres) from common
points known as Gauss-Krueger x (northing), y (easting, 500000 m false easting), h, central
meridian L0 on Krassovsky and as WGS-84 latitude B, longitude L and ellipsoidal height H. Each
point gives bit for bit the dx, dy, dz of the zerb dialog. With several points it reports the
mean, each point's residual, the RMS, and flags points that do not fit.

Input: one point from the options below, or a CSV table from FILE (standard input when FILE is
absent or -). The first row names the columns: x, y, h, B, L, H, optionally L0 and a name or id
column, in any order (x y h L0 B L H are case-sensitive: h is the local height, H the WGS-84
one). Other columns are passed through to csv and json output. Fields may be quoted with "...".
Blank lines are ignored; every other line that cannot be used is reported on standard error
with its line number and the reason, and left out.

Angles (B, L): 30:32:21.14, "30 32 21.14", 30°32′21.14″, 30°32'21.14", 30d32m21.14s or decimal
degrees (30.539206). A leading minus or a trailing S or W makes the whole angle negative:
-30:15:00 and 30:15:00S are both -30.25 degrees. Minutes 0 to 59, seconds below 60, |B| <= 90,
|L| <= 180. Decimal degrees are turned exactly into degrees, minutes and seconds, so 30.25 gives
the same result as 30:15:00.

Easting and zone: y has 6 integer digits (100000 to 900000 m), or 8 with the zone number in
front: zones 13 to 23 are 6-degree zones with L0 = 6n-3, zones 25 to 45 are 3-degree zones with
L0 = 3n. The zone number is removed and L0 derived from it; an L0 that disagrees is refused.
Northings are limited to 9000000 m in size. L0 is in whole degrees, -180 to 180.

Point options:
  --x X, --y Y, --h h      grid northing, easting (metres) and height above Krassovsky
  --L0 DEG                 central meridian; with a FILE, the default for rows without L0
  --B ANGLE, --L ANGLE     WGS-84 latitude and longitude
  --H H                    height above the WGS-84 ellipsoid (metres)

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
  --max-residual METRES    flag points farther than this from the mean of the other points
                           (default: farther than 3 times the RMS of the other points about
                           their mean, at least 0.001 m; needs 4 points). The worst point is
                           taken out first and the rest tested again, one at a time, so that a
                           blunder cannot make good points fail by pulling their mean
  --keep-all               keep flagged points in the final mean and the exports
  -d, --delimiter CHAR     field delimiter of the CSV input and output (default ,; "tab" for a
                           tab)
  -h, --help               show this help;   --version   show the version

Numbers: a point's own dx, dy, dz are printed in csv and json with every digit needed to give
back the exact double (the dialog's value, bit for bit); means, residuals and RMS, the text
report and the towgs84, proj and wkt exports with 4 decimals (0.1 mm).

Exit status: 0 every line used; 1 some lines refused (the rest computed); 2 bad command line or
unreadable input; 3 no usable point.

Examples:
  $ cat points.csv
  name,x,y,h,B,L,H
  GP01,4419971.693,39458259.110,92.591,39:54:44.4420,116:30:44.4420,52.317
  GP02,4435312.960,39477300.914,89.003,40:03:04.4424,116:44:04.2432,48.902
  ...
  $ zerb-shift points.csv                     (the report: points, residuals, means, RMS)
  $ zerb-shift --format towgs84 points.csv
  +towgs84=15.7996,-130.3991,-84.9012
  $ zerb-shift --x 4419971.693 --y 39458259.110 --h 92.591 \
      --B 39:54:44.442 --L 116:30:44.442 --H 52.317
  dx =      15.7994 m
  dy =    -130.3989 m
  dz =     -84.9013 m
)";

bool TakesValue(std::string_view name) {
  for (std::string_view known : {"--format", "-f", "--max-residual", "--delimiter", "-d"}) {
    if (name == known)
      return true;
  }
  for (std::string_view column : kColumnNames) {
    if (name.starts_with("--") && name.substr(2) == column)
      return true;
  }
  return false;
}

std::string SetFormat(std::string_view v, Format* f) {
  static constexpr std::pair<std::string_view, Format> kFormats[] = {
      {"text", Format::kText},       {"csv", Format::kCsv},   {"json", Format::kJson},
      {"towgs84", Format::kTowgs84}, {"proj", Format::kProj}, {"wkt", Format::kWkt}};
  for (const auto& [name, format] : kFormats) {
    if (v == name) {
      *f = format;
      return {};
    }
  }
  return "unknown format '" + std::string(v) + "' (text, csv, json, towgs84, proj or wkt)";
}

}  // namespace

std::string_view HelpText() {
  return kHelp;
}

std::string ParseOptions(const std::vector<std::string_view>& args, Options* o) {
  *o = Options();
  bool input_seen = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    if (arg == "-" || !arg.starts_with("-")) {
      if (input_seen)
        return "more than one input file";
      o->input = arg;
      input_seen = true;
      continue;
    }
    std::string_view name = arg;
    std::string_view value;
    bool has_value = false;
    if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      has_value = true;
    }
    if (TakesValue(name)) {
      if (!has_value) {
        if (i + 1 >= args.size())
          return "option " + std::string(name) + " needs a value";
        value = args[++i];
      }
    } else if (has_value && (name == "--keep-all" || name == "--help" || name == "--version")) {
      return "option " + std::string(name) + " takes no value";
    }

    bool point_option = false;
    for (int c = 0; c < kColumnCount; ++c) {
      if (name.size() > 2 && name.substr(2) == kColumnNames[c] && name.starts_with("--")) {
        if (o->value[c])
          return "option " + std::string(name) + " given twice";
        o->value[c] = std::string(value);
        point_option = true;
      }
    }
    if (point_option)
      continue;
    if (name == "--help" || name == "-h") {
      o->help = true;
    } else if (name == "--version") {
      o->version = true;
    } else if (name == "--keep-all") {
      o->rule.keep_all = true;
    } else if (name == "--format" || name == "-f") {
      if (std::string e = SetFormat(value, &o->format); !e.empty())
        return e;
    } else if (name == "--max-residual") {
      double limit;
      if (!ParseLength(value, &limit).empty() || !(limit > 0)) {
        return "--max-residual needs a positive length in metres, not '" + std::string(value) + "'";
      }
      o->rule.max_residual = limit;
    } else if (name == "--delimiter" || name == "-d") {
      if (value == "tab" || value == "\t") {
        o->delimiter = '\t';
      } else if (value.size() == 1 && value != "\"" && value != " " && value != "\n") {
        o->delimiter = value[0];
      } else {
        return "the delimiter must be one character other than a quote or a blank, or \"tab\"";
      }
    } else {
      return "unknown option " + std::string(name);
    }
  }

  for (int c = 0; c < kColumnCount; ++c) {
    if (c != kL0 && o->value[c])
      o->single = true;
  }
  if (o->single) {
    if (input_seen)
      return "give one point as options or an input FILE, not both";
    std::string missing;
    for (int c = 0; c < kColumnCount; ++c) {
      if (c != kL0 && !o->value[c])
        missing += " --" + std::string(kColumnNames[c]);
    }
    if (!missing.empty())
      return "the point lacks" + missing;
  }
  return {};
}

}  // namespace zerb
