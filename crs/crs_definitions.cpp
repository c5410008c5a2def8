// Checks the fitted grid, rounds its parameters as the exports write them, names it and hands it
// to PROJ for the object model (bound_crs.cpp); the text of every form is PROJ's own export.
#include "crs/crs_definitions.h"

#include <proj.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

#include "crs/bound_crs.h"
#include "crs/proj_session.h"
#include "crs/projection.h"
#include "text/translate.h"

namespace zerb::crs {
namespace {

constexpr std::array<std::pair<Form, std::string_view>, 5> kFormNames = {{
    {Form::kCrsProj, "crs-proj"},
    {Form::kCrsWkt1, "crs-wkt1"},
    {Form::kCrsWkt2, "crs-wkt2"},
    {Form::kCrsProjJson, "crs-projjson"},
    {Form::kPipeline, "pipeline"},
}};

// The value as an export with the given number of decimals writes it and reads it back: the
// decimal text, not a scaled binary product, decides the rounding, so this is the same number
// the user sees in the exported parameters. Zero keeps no sign.
double RoundAsWritten(double value, int decimals) {
  std::array<char, 64> text{};
  const auto written = std::to_chars(text.data(), text.data() + text.size(), value,
                                     std::chars_format::fixed, decimals);
  double rounded = value;
  std::from_chars(text.data(), written.ptr, rounded);
  return rounded + 0.0;
}

Helmert Rounded(const Helmert& shift) {
  Helmert rounded = shift;
  rounded.tx = RoundAsWritten(shift.tx, 4);
  rounded.ty = RoundAsWritten(shift.ty, 4);
  rounded.tz = RoundAsWritten(shift.tz, 4);
  if (shift.seven) {
    rounded.rx = RoundAsWritten(shift.rx, 6);
    rounded.ry = RoundAsWritten(shift.ry, 6);
    rounded.rz = RoundAsWritten(shift.rz, 6);
    rounded.scale_ppm = RoundAsWritten(shift.scale_ppm, 6);
  } else {
    rounded.rx = rounded.ry = rounded.rz = rounded.scale_ppm = 0;
  }
  return rounded;
}

std::string CheckGrid(const Grid& grid) {
  const double L0 = grid.central_meridian;
  if (!(L0 >= -180 && L0 <= 180)) {
    return Fill(Tr("The central meridian {1} is outside -180..180 degrees."), Shortest(L0));
  }
  if (std::string r = CheckGridSystem(grid.system); !r.empty()) {
    return r;
  }
  if (grid.zone == 0) {
    return {};
  }
  if (!grid.system.zoned()) {
    return Tr("A zone number in front of the eastings needs the false easting 500000 m.");
  }
  int zone_L0 = 0;
  if (grid.zone >= 13 && grid.zone <= 23) {
    zone_L0 = 6 * grid.zone - 3;
  } else if (grid.zone >= 25 && grid.zone <= 45) {
    zone_L0 = 3 * grid.zone;
  } else {
    return Fill(Tr("Zone {1} is neither a 6-degree zone (13-23) nor a 3-degree zone (25-45)."),
                grid.zone);
  }
  if (zone_L0 != L0) {
    // TRANSLATORS: {1} is a zone number, {2} and {3} central meridians in degrees.
    return Fill(Tr("Zone {1} has the central meridian {2}, not {3}."), grid.zone, zone_L0,
                Shortest(L0));
  }
  return {};
}

std::string CheckShift(const Helmert& shift, std::size_t fitted_points) {
  const std::array<std::pair<double, const char*>, 7> values = {{
      {shift.tx, NoTr("The translation tx is not a finite number.")},
      {shift.ty, NoTr("The translation ty is not a finite number.")},
      {shift.tz, NoTr("The translation tz is not a finite number.")},
      {shift.rx, NoTr("The rotation rx is not a finite number.")},
      {shift.ry, NoTr("The rotation ry is not a finite number.")},
      {shift.rz, NoTr("The rotation rz is not a finite number.")},
      {shift.scale_ppm, NoTr("The scale difference is not a finite number.")},
  }};
  const std::size_t used = shift.seven ? values.size() : 3;
  for (std::size_t i = 0; i < used; ++i) {
    if (!std::isfinite(values[i].first)) {
      return Tr(values[i].second);
    }
  }
  // Each common point gives three equations: one point determines three parameters, seven
  // need three points.
  const std::size_t needed = shift.seven ? 3 : 1;
  if (fitted_points < needed) {
    // TRANSLATORS: {1} is the number of points given to the fit.
    return Fill(shift.seven ? Tr("A 7-parameter fit needs at least 3 common points, not {1}.")
                            : Tr("A 3-parameter fit needs at least 1 common point, not {1}."),
                fitted_points);
  }
  return {};
}

// "CM 117E" for whole degrees, else "CM 116°30′E" or "CM 116°20′12.5″E"; in ASCII (for the
// .prj files of WKT1, which older readers take as Latin-1 or ASCII) "CM 116.5E".
std::string Meridian(double L0, bool ascii) {
  const std::string side = L0 < 0 ? "W" : "E";
  const double degrees = std::fabs(L0);
  if (degrees == std::floor(degrees)) {
    return "CM " + Shortest(degrees) + side;
  }
  if (ascii) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", degrees);
    return "CM " + std::string(text) + side;
  }
  // Seconds rounded to 1e-6, so that 116.5 is 116°30′ and not 116°29′59.999999999″.
  const double seconds = std::round(degrees * 3600 * 1e6) / 1e6;
  const int whole = static_cast<int>(seconds / 3600);
  const int minutes = static_cast<int>((seconds - whole * 3600) / 60);
  const double rest = std::round((seconds - whole * 3600 - minutes * 60) * 1e6) / 1e6;
  std::string text =
      "CM " + std::to_string(whole) + "\xC2\xB0" + std::to_string(minutes) + "\xE2\x80\xB2";
  if (rest != 0) {
    text += Shortest(rest) + "\xE2\x80\xB3";
  }
  return text + side;
}

std::string ConversionName(const Grid& grid, bool ascii) {
  const GridSystem& system = grid.system;
  if (system.gauss_kruger()) {
    if (grid.zone == 0) {
      return "Gauss-Kruger " + Meridian(grid.central_meridian, ascii);
    }
    return "Gauss-Kruger zone " + std::to_string(grid.zone) + " (" +
           Meridian(grid.central_meridian, ascii) + ")";
  }
  std::string name = "local TM " + Meridian(grid.central_meridian, ascii);
  if (system.false_easting != 500000) {
    name += ", FE " + Shortest(system.false_easting) + " m";
  }
  if (system.false_northing != 0) {
    name += ", FN " + Shortest(system.false_northing) + " m";
  }
  if (system.scale != 1) {
    name += ", k " + Shortest(system.scale);
  }
  if (system.projection_height != 0) {
    name += ", h0 = " + Shortest(system.projection_height) + " m";
  }
  return name;
}

std::string ModelName(const Helmert& shift, std::size_t fitted_points) {
  return std::string(shift.seven ? "7" : "3") + "-parameter fit to " +
         std::to_string(fitted_points) + (fitted_points == 1 ? " point" : " points");
}

// The fitted datum is the user's network on the grid's ellipsoid, not the datum of any register.
std::string LocalDatum(const Grid& grid) {
  return "Local datum (" + EllipsoidName(grid.system.ellipsoid) + ")";
}

CrsNames Names(const Helmert& shift, const Grid& grid, std::size_t fitted_points, bool ascii) {
  const std::string model = ModelName(shift, fitted_points);
  return CrsNames{
      .projected = LocalDatum(grid) + " / " + ConversionName(grid, ascii) + ", " + model,
      .geographic = LocalDatum(grid) + ", " + model,
      .conversion = ConversionName(grid, ascii),
      .transformation = LocalDatum(grid) +
                        (shift.target == Target::kCgcs2000 ? " to CGCS2000, " : " to WGS 84, ") +
                        model,
  };
}

// PROJ's text of the object, or an empty string and *error set.
std::string Exported(const char* text, const ProjSession& session, std::string_view form,
                     std::string* error) {
  if (text == nullptr) {
    // TRANSLATORS: {1} is the name of a definition form ("WKT2"), {2} PROJ's reason.
    *error = Fill(Tr("PROJ could not write the {1} form: {2}."), form, session.Reason());
    return {};
  }
  return text;
}

}  // namespace

std::string_view FormName(Form form) {
  for (const auto& [each, name] : kFormNames) {
    if (each == form) {
      return name;
    }
  }
  return {};
}

std::optional<Form> ParseForm(std::string_view name) {
  for (const auto& [form, each] : kFormNames) {
    if (each == name) {
      return form;
    }
  }
  return std::nullopt;
}

std::string FormRefusal(Form form, Target target) {
  if (target == Target::kCgcs2000 && (form == Form::kCrsProj || form == Form::kCrsWkt1)) {
    return Fill(
        // TRANSLATORS: {1} is the name of a definition form ("crs-proj").
        Tr("The {1} form writes the shift as +towgs84 or TOWGS84, a shift to WGS 84 by "
           "definition, which PROJ never applies toward CGCS2000 (it takes a ballpark "
           "without the shift, tens of metres off): use crs-wkt2, crs-projjson or pipeline, "
           "whose target is CGCS2000."),
        FormName(form));
  }
  return {};
}

std::string CrsName(const Helmert& shift, const Grid& grid, std::size_t fitted_points) {
  return LocalDatum(grid) + " / " + ConversionName(grid, false) + ", " +
         ModelName(shift, fitted_points);
}

namespace {

// The definition's text, or empty with *error set.
std::string DefinitionText(Form form, const Helmert& shift, const Grid& grid,
                           std::size_t fitted_points, std::string* error) {
  std::string refusal = FormRefusal(form, shift.target);
  if (refusal.empty()) {
    refusal = CheckGrid(grid);
  }
  if (refusal.empty()) {
    refusal = CheckShift(shift, fitted_points);
  }
  if (!refusal.empty()) {
    *error = std::move(refusal);
    return {};
  }
  const Helmert rounded = Rounded(shift);
  const CrsNames names = Names(rounded, grid, fitted_points, form == Form::kCrsWkt1);
  const ProjSession session;
  PJ_CONTEXT* const context = session.context();
  const std::string_view name = FormName(form);

  // WKT1 and PROJ strings have no 3D projected CRS; the others carry the height through.
  const int dimension = form == Form::kCrsWkt1 || form == Form::kCrsProj ? 2 : 3;
  const PjHandle bound = BuildBoundCrs(session, rounded, grid, names, dimension, error);
  if (!bound) {
    return {};
  }
  switch (form) {
    case Form::kCrsProj:
      return Exported(proj_as_proj_string(context, bound.get(), PJ_PROJ_4, nullptr), session, name,
                      error);
    case Form::kCrsWkt1: {
      // One line, as GDAL writes a .prj file.
      const char* const options[] = {"MULTILINE=NO", nullptr};
      return Exported(proj_as_wkt(context, bound.get(), PJ_WKT1_GDAL, options), session, name,
                      error);
    }
    case Form::kCrsWkt2:
      return Exported(proj_as_wkt(context, bound.get(), PJ_WKT2_2019, nullptr), session, name,
                      error);
    case Form::kCrsProjJson:
      return Exported(proj_as_projjson(context, bound.get(), nullptr), session, name, error);
    case Form::kPipeline: {
      const PjHandle operation = BuildOperationToHub(session, bound.get(), rounded.target, error);
      if (!operation) {
        return {};
      }
      return Exported(proj_as_proj_string(context, operation.get(), PJ_PROJ_5, nullptr), session,
                      name, error);
    }
  }
  *error = Tr("Unknown definition form.");
  return {};
}

}  // namespace

std::string Define(Form form, const Helmert& shift, const Grid& grid, std::size_t fitted_points,
                   std::string* text) {
  std::string error;
  *text = DefinitionText(form, shift, grid, fitted_points, &error);
  return text->empty() ? error : std::string();
}

}  // namespace zerb::crs
