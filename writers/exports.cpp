// The exports a GIS takes, and the complete definitions PROJ builds; see report.h.
#include "writers/report.h"

#include "crs/crs_definitions.h"
#include "text/translate.h"

namespace zerb {
namespace {

bool Seven(const ReportInput& in) {
  return in.fit->solution().model == adjust::Model::kSevenParameter;
}

}  // namespace

Reason WriteExport(const ReportInput& in, Output& out) {
  // +towgs84 and TOWGS84 are position-vector by definition, whatever the report's convention.
  const adjust::BursaWolf& pv = in.fit->solution().exported;
  switch (in.format) {
    case Format::kTowgs84:
      out << "+towgs84=" << TranslationText(pv, ",");
      if (Seven(in))
        out << ',' << RotationText(pv, ",");
      out << '\n';
      break;
    case Format::kProj: {
      const adjust::BursaWolf p = InConvention(pv, in.convention);
      out << "+proj=helmert +x=" << Fixed(p.tx) << " +y=" << Fixed(p.ty) << " +z=" << Fixed(p.tz);
      if (Seven(in)) {
        out << " +rx=" << Decimals6(p.rx) << " +ry=" << Decimals6(p.ry)
            << " +rz=" << Decimals6(p.rz) << " +s=" << Decimals6(p.s)
            << " +convention=" << ProjConventionName(in.convention);
      }
      out << '\n';
      break;
    }
    case Format::kWkt:
      out << "TOWGS84[" << TranslationText(pv, ",") << ','
          << (Seven(in) ? RotationText(pv, ",") : std::string("0,0,0,0")) << "]\n";
      break;
    default:
      break;
  }
  return {};
}

Reason WriteDefinition(const ReportInput& in, Output& out) {
  const InputSummary& input = *in.input;
  if (input.mixed_zones) {
    return Tr(
        "the points lie in more than one zone (or some eastings carry the zone number and "
        "some do not): one CRS definition cannot describe them");
  }
  crs::Form form = crs::Form::kCrsProj;
  switch (in.format) {
    case Format::kCrsWkt1:
      form = crs::Form::kCrsWkt1;
      break;
    case Format::kCrsWkt2:
      form = crs::Form::kCrsWkt2;
      break;
    case Format::kCrsProjJson:
      form = crs::Form::kCrsProjJson;
      break;
    case Format::kPipeline:
      form = crs::Form::kPipeline;
      break;
    default:
      break;
  }
  const adjust::Solution& s = in.fit->solution();
  crs::Helmert h;
  h.target =
      input.gnss_datum == GnssDatum::kCgcs2000 ? crs::Target::kCgcs2000 : crs::Target::kWgs84;
  h.seven = Seven(in);
  h.tx = s.exported.tx;
  h.ty = s.exported.ty;
  h.tz = s.exported.tz;
  if (h.seven) {
    h.rx = s.exported.rx;
    h.ry = s.exported.ry;
    h.rz = s.exported.rz;
    h.scale_ppm = s.exported.s;
  }
  crs::Grid grid;
  grid.central_meridian = input.meridian;
  grid.system = input.grid_system;
  grid.zone = input.zone;
  std::string text;
  if (Reason r = crs::Define(form, h, grid, s.points_used, &text); !r.empty())
    return r;
  out << text << '\n';
  return {};
}

}  // namespace zerb
