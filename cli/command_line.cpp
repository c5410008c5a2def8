// The command line of zerb-shift; see command_line.h.
#include "cli/command_line.h"

#include <getopt.h>

#include "crs/grid_system.h"
#include "readers/angle.h"
#include "readers/grid_values.h"
#include "text/translate.h"

namespace zerb {
namespace {

enum LongOnly {
  kOptGrid = 256,
  kOptWgs84,
  kOptGridFormat,
  kOptWgs84Format,
  kOptEncoding,
  kOptAngleFormat,
  kOptProjection,
  kOptGnssDatum,
  kOptEllipsoid,
  kOptCentralMeridian,
  kOptFalseEasting,
  kOptFalseNorthing,
  kOptScaleFactor,
  kOptProjectionHeight,
  kOptCheck,
  kOptMaxResidual,
  kOptHorizontalLimit,
  kOptVerticalLimit,
  kOptKeepAll,
  kOptModel,
  kOptConvention,
  kOptSigma,
  kOptAlpha,
  kOptPlot,
  kOptSave,
  kOptFixScale,
  kOptHeightFit,
  kOptHorizontalOnly,
  kOptVerticalOnly,
  kOptHelp,
  kOptVersion,
  kOptPoint,  // + the Field of the value
};

// The point options, in the order of Field; name and role have none.
constexpr const char* kPointOption[kFieldCount] = {nullptr, "x", "y", "h",    "L0",
                                                   "B",     "L", "H", nullptr};

std::vector<option> LongOptions() {
  std::vector<option> o = {
      {"grid", required_argument, nullptr, kOptGrid},
      {"wgs84", required_argument, nullptr, kOptWgs84},
      {"grid-format", required_argument, nullptr, kOptGridFormat},
      {"wgs84-format", required_argument, nullptr, kOptWgs84Format},
      {"encoding", required_argument, nullptr, kOptEncoding},
      {"angle-format", required_argument, nullptr, kOptAngleFormat},
      {"projection", required_argument, nullptr, kOptProjection},
      {"gnss-datum", required_argument, nullptr, kOptGnssDatum},
      {"ellipsoid", required_argument, nullptr, kOptEllipsoid},
      {"central-meridian", required_argument, nullptr, kOptCentralMeridian},
      {"false-easting", required_argument, nullptr, kOptFalseEasting},
      {"false-northing", required_argument, nullptr, kOptFalseNorthing},
      {"scale-factor", required_argument, nullptr, kOptScaleFactor},
      {"projection-height", required_argument, nullptr, kOptProjectionHeight},
      {"check", required_argument, nullptr, kOptCheck},
      {"format", required_argument, nullptr, 'f'},
      {"delimiter", required_argument, nullptr, 'd'},
      {"max-residual", required_argument, nullptr, kOptMaxResidual},
      {"horizontal-limit", required_argument, nullptr, kOptHorizontalLimit},
      {"vertical-limit", required_argument, nullptr, kOptVerticalLimit},
      {"keep-all", no_argument, nullptr, kOptKeepAll},
      {"model", required_argument, nullptr, kOptModel},
      {"convention", required_argument, nullptr, kOptConvention},
      {"sigma", required_argument, nullptr, kOptSigma},
      {"alpha", required_argument, nullptr, kOptAlpha},
      {"plot", required_argument, nullptr, kOptPlot},
      {"save", required_argument, nullptr, kOptSave},
      {"fix-scale", no_argument, nullptr, kOptFixScale},
      {"height-fit", required_argument, nullptr, kOptHeightFit},
      {"horizontal-only", required_argument, nullptr, kOptHorizontalOnly},
      {"vertical-only", required_argument, nullptr, kOptVerticalOnly},
      {"help", no_argument, nullptr, kOptHelp},
      {"version", no_argument, nullptr, kOptVersion},
  };
  for (int f = 0; f < kFieldCount; ++f) {
    if (kPointOption[f] != nullptr)
      o.push_back({kPointOption[f], required_argument, nullptr, kOptPoint + f});
  }
  o.push_back({nullptr, 0, nullptr, 0});
  return o;
}

Reason SetDelimiter(std::string_view value, char* delimiter) {
  if (value == "tab" || value == "\t") {
    *delimiter = '\t';
  } else if (value.size() == 1 && value != "\"" && value != " " && value != "\n") {
    *delimiter = value[0];
  } else {
    return Tr("the delimiter must be one character other than a quote or a blank, or \"tab\"");
  }
  return {};
}

// A comma-separated list of names, blanks around each dropped.
std::vector<std::string> Names(std::string_view list) {
  std::vector<std::string> names;
  while (true) {
    const std::size_t comma = list.find(',');
    const std::string_view name = Trim(list.substr(0, comma));
    if (!name.empty())
      names.emplace_back(name);
    if (comma == std::string_view::npos)
      return names;
    list.remove_prefix(comma + 1);
  }
}

// The value of one of the grid system's lengths or its scale: a plain number.
Reason SystemNumber(const char* option, std::string_view value, double* number) {
  if (!ParseOptionNumber(value, number)) {
    // TRANSLATORS: {1} is the option (--false-easting), {2} the value given, in quotes.
    return Fill(Tr("{1} needs a number, not {2}"), option, Quoted(value));
  }
  return {};
}

Reason Apply(int code, std::string_view value, Options* o) {
  InputSettings& in = o->input;
  crs::GridSystem& system = in.grid_system;
  switch (code) {
    case kOptEllipsoid:
      return crs::ParseEllipsoid(value, &system.ellipsoid);
    case kOptCentralMeridian:
      o->central_meridian = std::string(value);
      return {};
    case kOptFalseEasting:
      return SystemNumber("--false-easting", value, &system.false_easting);
    case kOptFalseNorthing:
      return SystemNumber("--false-northing", value, &system.false_northing);
    case kOptScaleFactor:
      return SystemNumber("--scale-factor", value, &system.scale);
    case kOptProjectionHeight:
      return SystemNumber("--projection-height", value, &system.projection_height);
    case kOptGrid:
      in.grid = value;
      return value.empty() ? Tr("--grid needs a file name") : "";
    case kOptWgs84:
      in.wgs84 = value;
      return value.empty() ? Tr("--wgs84 needs a file name") : "";
    case kOptGridFormat:
      return ParseInputForm(value, &in.grid_form);
    case kOptWgs84Format:
      if (Reason r = ParseInputForm(value, &in.wgs84_form); !r.empty())
        return r;
      return in.wgs84_form == InputForm::kCass
                 ? Tr("--wgs84-format cass: a CASS .dat file holds grid coordinates")
                 : "";
    case kOptEncoding:
      return ParseEncoding(value, &in.encoding);
    case kOptProjection:
      return ParseProjectionKind(value, &in.projection);
    case kOptGnssDatum:
      return ParseGnssDatum(value, &in.gnss_datum);
    case kOptAngleFormat:
      return ParseAngleFormat(value, &in.reading.angle_format);
    case kOptCheck:
    case kOptHorizontalOnly:
    case kOptVerticalOnly: {
      std::vector<std::string>& list = code == kOptCheck            ? in.check_names
                                       : code == kOptHorizontalOnly ? in.horizontal_names
                                                                    : in.vertical_names;
      const std::vector<std::string> names = Names(value);
      list.insert(list.end(), names.begin(), names.end());
      return {};
    }
    case kOptFixScale:
      o->plane_settings.fix_scale = true;
      return {};
    case kOptHeightFit:
      return ParseHeightFit(value, &o->plane_settings.height_fit);
    case 'f':
      return ParseFormat(value, &o->format);
    case 'd':
      return SetDelimiter(value, &in.delimiter);
    case kOptMaxResidual: {
      double limit;
      if (!ParseOptionNumber(value, &limit) || !(limit > 0)) {
        // TRANSLATORS: {1} is the value given, in quotes.
        return Fill(Tr("--max-residual needs a positive length in metres, not {1}"), Quoted(value));
      }
      o->fit.max_residual = limit;
      return {};
    }
    case kOptHorizontalLimit:
    case kOptVerticalLimit: {
      double limit;
      const bool horizontal = code == kOptHorizontalLimit;
      if (!ParseOptionNumber(value, &limit) || !(limit > 0)) {
        // TRANSLATORS: {1} is the option, {2} the value given, in quotes.
        return Fill(Tr("{1} needs a positive length in metres, not {2}"),
                    horizontal ? "--horizontal-limit" : "--vertical-limit", Quoted(value));
      }
      (horizontal ? o->limits.horizontal : o->limits.vertical) = limit;
      return {};
    }
    case kOptKeepAll:
      o->fit.keep_all = true;
      return {};
    case kOptModel:
      return ParseModel(value, &o->fit.model, &o->plane);
    case kOptConvention:
      o->convention_given = true;
      return ParseConvention(value, &o->convention);
    case kOptSigma:
      return ParseSigma(value, &o->fit);
    case kOptAlpha: {
      double alpha;
      if (!ParseOptionNumber(value, &alpha) || !(alpha > 0 && alpha < 0.5))
        return Fill(Tr("--alpha needs a significance between 0 and 0.5, not {1}"), Quoted(value));
      o->fit.alpha_point = alpha;
      return {};
    }
    case kOptPlot:
      o->plot = value;
      return value.empty() ? Tr("--plot needs a file name") : "";
    // --save: the definition and area for zerb-convert (writers/saved_definition.h).
    case kOptSave:
      o->save = value;
      return value.empty() ? Tr("--save needs a file name") : "";
    case kOptHelp:
      o->help = true;
      return {};
    case kOptVersion:
      o->version = true;
      return {};
    default:
      break;
  }
  const int f = code - kOptPoint;
  if (f >= 0 && f < kFieldCount && kPointOption[f] != nullptr) {
    if (in.value[f])
      // TRANSLATORS: {1} is the option's name without its dashes (x, L0, ...).
      return Fill(Tr("option --{1} given twice"), kPointOption[f]);
    in.value[f] = std::string(value);
    return {};
  }
  return Tr("unknown option");
}

// The message for what getopt_long refused: arg is the argument it stopped at.
Reason Refusal(int code, int short_option, std::string_view arg) {
  if (code == ':') {
    // TRANSLATORS: {1} is the option as typed (--grid, -f).
    return Fill(Tr("option {1} needs a value"),
                arg.starts_with("--") ? arg.substr(0, arg.find('=')) : arg);
  }
  const std::string name(arg.substr(0, arg.find('=')));
  if (short_option >= kOptGrid)
    return Fill(Tr("option {1} takes no value"), name);
  if (short_option == 'h') {
    return Tr("unknown option -h: the grid height is --h (two dashes), the help --help");
  }
  if (short_option != 0)
    return Fill(Tr("unknown option {1}"),
                Quoted("-" + std::string(1, static_cast<char>(short_option))));
  return Fill(Tr("unknown or ambiguous option {1}"), Quoted(name));
}

}  // namespace

Reason ParseOptions(const std::vector<std::string_view>& args, Options* o) {
  *o = Options();
  std::vector<std::string> storage;
  storage.emplace_back("zerb-shift");
  for (std::string_view a : args)
    storage.emplace_back(a);
  std::vector<char*> argv;
  for (std::string& s : storage)
    argv.push_back(s.data());
  argv.push_back(nullptr);
  const std::vector<option> longs = LongOptions();
  optind = 0;  // glibc: start afresh, so that the parser can run more than once in a process
  opterr = 0;
  const int argc = static_cast<int>(storage.size());
  while (true) {
    const int before = optind == 0 ? 1 : optind;
    const int code = getopt_long(argc, argv.data(), ":f:d:", longs.data(), nullptr);
    if (code == -1)
      break;
    if (code == '?' || code == ':') {
      const int at = optind > before ? optind - 1 : before;
      return Refusal(code, optopt, at < argc ? std::string_view(argv[at]) : "");
    }
    if (Reason r = Apply(code, optarg != nullptr ? optarg : "", o); !r.empty())
      return r;
  }
  // getopt_long permutes argv (GNU order: options may follow the file name), so the operands are
  // what it left at the end of argv, not of the unpermuted copy.
  std::vector<std::string> operands(argv.begin() + optind, argv.end() - 1);
  if (o->help || o->version)
    return {};

  InputSettings& in = o->input;
  in.plane_model = o->plane;
  // The plane model projects the GNSS points on their own datum's ellipsoid.
  if (in.gnss_datum == GnssDatum::kCgcs2000)
    o->plane_settings.gnss_inverse_flattening = kGrs80InverseFlattening;
  if (!o->plane) {
    const char* plane_only = o->plane_settings.fix_scale                        ? "--fix-scale"
                             : o->plane_settings.height_fit != HeightFit::kAuto ? "--height-fit"
                             : !in.horizontal_names.empty() ? "--horizontal-only"
                             : !in.vertical_names.empty()   ? "--vertical-only"
                                                            : nullptr;
    if (plane_only != nullptr) {
      // TRANSLATORS: {1} is an option of the plane model (--fix-scale).
      return Fill(Tr("{1} belongs to the plane model: give --model 4"), plane_only);
    }
    if (o->format == Format::kParameters) {
      return Tr(
          "--format parameters lists the plane model's parameters (--model 4); the 3 and 7 "
          "parameters are written by towgs84, proj or wkt");
    }
  } else {
    if (IsExport(o->format) && o->format != Format::kPipeline && o->format != Format::kParameters) {
      return Tr(
          "a plane model has no geocentric parameters and no CRS form in PROJ 9.1: give "
          "--format pipeline or parameters (or text, csv, json)");
    }
    if (!o->plot.empty())
      return Tr("--plot draws the residuals of the 3- and 7-parameter fits, not yet of --model 4");
    if (o->convention_given)
      return Tr("--convention is the sign of geocentric rotations, which --model 4 does not have");
  }
  // Said before any input is read: a CGCS2000 fit has no WGS-84 form, nor the dialog's bits.
  if (Reason r = FormatForDatum(o->format, in.gnss_datum); !r.empty())
    return r;
  if (Reason r = ProjectionForDatum(in.projection, in.gnss_datum); !r.empty())
    return r;
  for (int f = 0; f < kFieldCount; ++f) {
    if (f != kMeridian && in.value[f])
      in.single = true;
  }
  if (in.value[kMeridian]) {
    if (o->central_meridian)
      return Tr("--L0 and --central-meridian say the same: give one of them");
    int degrees = 0;
    if (Reason r = ParseCentralMeridian(*in.value[kMeridian], &degrees); !r.empty())
      return Fill(Tr("--L0 {1}: {2}"), Quoted(*in.value[kMeridian]), r);
    in.reading.default_meridian = degrees;
  }
  if (o->central_meridian) {
    // An angle in any form the latitudes and longitudes take, read with --angle-format.
    Angle angle;
    if (Reason r = ParseAngle(*o->central_meridian, AngleAxis::kLongitude, in.reading.angle_format,
                              &angle);
        !r.empty())
      return Fill(Tr("--central-meridian {1}: {2}"), Quoted(*o->central_meridian), r);
    in.reading.default_meridian = Degrees(angle);
    in.reading.meridian_of_the_grid = true;
  }
  if (Reason r = crs::CheckGridSystem(in.grid_system); !r.empty())
    return r;
  if (Reason r = ProjectionForSystem(in.projection, in.grid_system, in.reading.default_meridian);
      !r.empty())
    return r;
  o->plane_settings.grid = in.grid_system;
  const bool two_files = !in.grid.empty() || !in.wgs84.empty();
  if (operands.size() > 1)
    return Tr("more than one input file");
  if (two_files) {
    if (in.grid.empty() || in.wgs84.empty())
      return Tr("--grid and --wgs84 go together: give both files");
    if (!operands.empty() || in.single)
      return Tr("give --grid and --wgs84, or one table, or one point as options, not several");
  }
  if (!operands.empty())
    in.table = operands[0];
  if (in.single) {
    if (!operands.empty())
      return Tr("give one point as options or an input FILE, not both");
    std::string missing;
    for (int f = 0; f < kFieldCount; ++f) {
      if (kPointOption[f] != nullptr && f != kMeridian && !in.value[f])
        missing += (missing.empty() ? "--" : " --") + std::string(kPointOption[f]);
    }
    if (!missing.empty()) {
      // TRANSLATORS: {1} lists the options missing: "--B --L --H".
      return Fill(Tr("the point lacks {1}"), missing);
    }
  }
  return {};
}

}  // namespace zerb
