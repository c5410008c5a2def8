// The grid's system in the reports; see grid_description.h.
#include "writers/grid_description.h"

#include "crs/projection.h"
#include "text/translate.h"

namespace zerb {

void WriteGridSystemLine(const InputSummary& input, Output& out) {
  const crs::GridSystem& g = input.grid_system;
  if (g.beijing_1954())
    return;
  const std::string meridian = input.mixed_zones || input.meridian == kNoMeridian
                                   ? std::string("-")
                                   : crs::Shortest(input.meridian);
  // TRANSLATORS: {1} is the ellipsoid's name, {2} and {3} its semi-major axis (metres) and
  // inverse flattening, {4} the central meridian in degrees, {5} and {6} the false easting and
  // northing (metres), {7} the scale, {8} the projection height (metres).
  out << Fill(Tr("grid: transverse Mercator on {1} (a = {2} m, 1/f = {3}), central meridian {4}, "
                 "false easting {5} m, false northing {6} m, scale {7}, projection height {8} m"),
              crs::EllipsoidName(g.ellipsoid), crs::Shortest(g.ellipsoid.a),
              crs::Shortest(g.ellipsoid.inverse_flattening), meridian,
              crs::Shortest(g.false_easting), crs::Shortest(g.false_northing),
              crs::Shortest(g.scale), crs::Shortest(g.projection_height))
      << '\n';
}

void WriteGridSystemJson(const InputSummary& input, JsonWriter& w, bool with_ellipsoid) {
  const crs::GridSystem& g = input.grid_system;
  if (with_ellipsoid ? g.beijing_1954() : g.gauss_kruger())
    return;
  w.Key("grid");
  w.StartObject();
  if (with_ellipsoid) {
    w.Key("ellipsoid");
    w.Text(crs::EllipsoidName(g.ellipsoid));
    w.Key("a");
    w.Decimal(g.ellipsoid.a);
    w.Key("inverse_flattening");
    w.Decimal(g.ellipsoid.inverse_flattening);
  }
  w.Key("central_meridian");
  if (input.mixed_zones || input.meridian == kNoMeridian)
    w.Null();
  else
    w.Decimal(input.meridian);
  w.Key("false_easting");
  w.Decimal(g.false_easting);
  w.Key("false_northing");
  w.Decimal(g.false_northing);
  w.Key("scale_factor");
  w.Decimal(g.scale);
  w.Key("projection_height");
  w.Decimal(g.projection_height);
  w.EndObject();
}

}  // namespace zerb
