// The plane model's report to hand to a client, as one self-contained HTML file (html.h): the
// inputs, the model and the projection of the GNSS points with every constant a controller needs,
// the four parameters with their standard deviations and correlations, the height surface, each
// fit's statistics, every point's residuals in the fits it is in with its flags, and the pipeline
// and parameter listing, with the date and the program that made it.
#include <algorithm>
#include <cmath>
#include <string>

#include "text/translate.h"
#include "writers/html.h"
#include "writers/plane_points.h"
#include "writers/report.h"

namespace zerb {
namespace {

using adjust::PointFitPoint;
using adjust::PointFitSolution;

void WriteInputs(const ReportInput& in, Output& out) {
  const PlaneFit& fit = *in.plane;
  const PointFitSolution& h = fit.horizontal.solution();
  WriteHeading(out, Tr("Input"));
  out << "<table class=\"z-facts\">\n";
  Fact(out, Tr("file"), in.input->source);
  if (!in.input->wgs84_source.empty())
    Fact(out, Tr("GNSS file"), in.input->wgs84_source);
  Fact(out, Tr("common points"), std::to_string(in.points->usable()));
  Fact(out, Tr("used in the horizontal fit"), std::to_string(h.points_used));
  if (HasHeights(fit))
    Fact(out, Tr("used in the height fit"), std::to_string(fit.vertical.solution().points_used));
  Fact(out, Tr("check points"), std::to_string(h.points_check));
  Fact(out, Tr("lines refused"), std::to_string(in.refused));
  if (!in.input->left_out.empty())
    Fact(out, Tr("left out by the user"), std::to_string(in.input->left_out.size()));
  out << "</table>\n";
  WriteSaid(in, out);
}

void WriteModel(const PlaneFit& fit, Output& out) {
  const crs::GridSystem& grid = fit.settings.grid;
  WriteHeading(out, Tr("Model"));
  out << "<table class=\"z-facts\">\n";
  Fact(out, Tr("model"),
       fit.settings.fix_scale ? Tr("plane similarity with the scale held at 1")
                              : Tr("four-parameter plane similarity"));
  Fact(out, Tr("height fit"), Tr(SurfaceName(fit.surface.kind)));
  if (!fit.auto_note.empty())
    Fact(out, Tr("note"), Tr(fit.auto_note.c_str()));
  Fact(out, Tr("GNSS ellipsoid"),
       "a = " + crs::Shortest(fit.projection.a) +
           " m, 1/f = " + crs::Shortest(fit.projection.inverse_flattening));
  Fact(out, Tr("central meridian"), crs::Shortest(fit.meridian));
  Fact(out, Tr("false easting"), crs::Shortest(grid.false_easting) + " m");
  Fact(out, Tr("false northing"), crs::Shortest(grid.false_northing) + " m");
  Fact(out, Tr("scale factor"), crs::Shortest(grid.scale));
  Fact(out, Tr("projection height"), crs::Shortest(grid.projection_height) + " m");
  out << "</table>\n";
}

void WriteStatisticsOf(const PointFitSolution& s, Output& out) {
  out << "<table class=\"z-facts\">\n";
  Fact(out, Tr("sigma0 (a posteriori)"),
       s.dof > 0 ? (s.a_priori ? Number("%.3f", s.sigma0) : Fixed(s.sigma0) + " m")
                 : std::string("-"));
  Fact(out, Tr("degrees of freedom"), Number("%.0f", s.dof));
  if (s.a_priori && s.global_test.run) {
    Fact(out, Tr("global test"),
         Number("%.3f", s.global_test.statistic) + " / " + Number("%.3f", s.global_test.critical) +
             ": " + (s.global_test.rejected ? Tr("rejected") : Tr("accepted")));
  }
  if (s.tested && s.point_critical > 0)
    Fact(out, Tr("critical value of T"), Number("%.2f", s.point_critical));
  out << "</table>\n";
}

void WriteParameters(const PlaneFit& fit, Output& out) {
  const PointFitSolution& h = fit.horizontal.solution();
  const bool known = h.dof > 0 || h.a_priori;
  WriteHeading(out, Tr("Parameters"));
  out << "<p>"
      << Escaped(Fill(Tr("reference point: x0 = {1} m, y0 = {2} m"),
                      Number("%.0f", fit.reference_north), Number("%.0f", fit.reference_east)))
      << "</p>\n<table>\n<thead><tr><th>" << Escaped(Tr("parameter")) << "</th><th>"
      << Escaped(Tr("value")) << "</th><th>" << Escaped(Tr("unit")) << "</th><th>"
      << Escaped(Tr("standard deviation")) << "</th></tr></thead>\n";
  const auto row = [&](const char* name, const std::string& value, const char* unit, double sd,
                       bool has_sd) {
    out << "<tr><td>" << Escaped(name) << "</td>";
    Cell(out, value);
    out << "<td>" << Escaped(unit) << "</td>";
    // Lengths to 0.1 mm, as the exports write them; the rest to 1e-6 of their units.
    Cell(out, !has_sd || !known          ? std::string("-")
              : std::string(unit) == "m" ? Fixed(sd)
                                         : Decimals6(sd));
    out << "</tr>\n";
  };
  row(Tr("north shift at the reference point"), Fixed(fit.shift_north), "m",
      fit.standard_deviation[0], true);
  row(Tr("east shift at the reference point"), Fixed(fit.shift_east), "m",
      fit.standard_deviation[1], true);
  row(Tr("rotation"), Decimals6(fit.exported.rotation) + " (" + Dms(fit.exported.rotation) + ")",
      "\"", fit.standard_deviation[2], true);
  row(Tr("scale"), Decimals6((fit.exported.scale - 1) * 1e6), "ppm", fit.standard_deviation[3],
      !fit.settings.fix_scale);
  row(Tr("north shift dx (origin form)"), Fixed(fit.exported.north), "m", 0, false);
  row(Tr("east shift dy (origin form)"), Fixed(fit.exported.east), "m", 0, false);
  out << "</table>\n";
  if (HasHeights(fit)) {
    const Surface& s = fit.exported_surface;
    const bool v_known = fit.vertical.solution().dof > 0 || fit.vertical.solution().a_priori;
    out << "<p>"
        << Escaped(Fill(Tr("height fit of H - h: {1}, reference point x0 = {2} m, y0 = {3} m"),
                        Tr(SurfaceName(s.kind)), Number("%.0f", s.reference_north),
                        Number("%.0f", s.reference_east)))
        << "</p>\n<table>\n<thead><tr><th>" << Escaped(Tr("parameter")) << "</th><th>"
        << Escaped(Tr("value")) << "</th><th>" << Escaped(Tr("unit")) << "</th><th>"
        << Escaped(Tr("standard deviation")) << "</th></tr></thead>\n";
    for (int k = 0; k < SurfaceCoefficients(s.kind); ++k) {
      out << "<tr><td>" << kCoefficientNames[k] << "</td>";
      Cell(out, k == 0 ? Fixed(s.coefficient[k]) : Decimals6(s.coefficient[k]));
      out << "<td>" << kCoefficientUnits[k] << "</td>";
      const double sd = fit.surface.standard_deviation[k];
      Cell(out, !v_known ? std::string("-") : k == 0 ? Fixed(sd) : Decimals6(sd));
      out << "</tr>\n";
    }
    out << "</table>\n";
  }
}

void WriteStatistics(const PlaneFit& fit, Output& out) {
  WriteHeading(out, Tr("Statistics"));
  out << "<p>" << Escaped(Tr("horizontal fit")) << "</p>\n";
  WriteStatisticsOf(fit.horizontal.solution(), out);
  if (HasHeights(fit)) {
    out << "<p>" << Escaped(Tr("height fit")) << "</p>\n";
    WriteStatisticsOf(fit.vertical.solution(), out);
  }
}

// One fit's cells of a point: residuals, redundancy and test; dashes when it is not in the fit.
void FitCells(Output& out, const PointFitPoint& r, bool in_fit, int dimension) {
  const int cells = dimension == 2 ? 5 : 3;
  if (!in_fit) {
    for (int k = 0; k < cells; ++k)
      Cell(out, "-");
    return;
  }
  for (int k = 0; k < dimension; ++k)
    Cell(out, Fixed(r.residual[k]));
  if (dimension == 2)
    Cell(out, Fixed(r.residual_length));
  Cell(out, r.used ? Number("%.2f", r.redundancy_sum) : std::string("-"));
  Cell(out, r.tested ? Number("%.2f", r.test_statistic) : std::string("-"));
}

Reason WriteResiduals(const ReportInput& in, Output& out) {
  const PlaneFit& fit = *in.plane;
  const bool heights = HasHeights(fit);
  WriteHeading(out, Tr("Residuals"));
  out << "<table>\n<thead><tr>";
  std::vector<const char*> titles = {NoTr("line"), NoTr("name"), "vN (m)", "vE (m)",
                                     "v (m)",      "r",          "T"};
  if (heights) {
    for (const char* t : {"vH (m)", "r", "T"})
      titles.push_back(t);
  }
  titles.push_back(NoTr("status"));
  for (const char* title : titles)
    out << "<th>" << Escaped(Tr(title)) << "</th>";
  out << "</tr></thead>\n";
  LimitTally limits(in.limits);
  PointWalk walk(in);
  while (walk.Next()) {
    const PlanePoint p = PointOf(fit, walk.index());
    const bool flagged =
        (p.in_horizontal && p.horizontal.flagged) || (p.in_vertical && p.vertical.flagged);
    const bool check =
        (p.in_horizontal && p.horizontal.check) || (p.in_vertical && p.vertical.check);
    out << (flagged ? "<tr class=\"z-flagged\">" : check ? "<tr class=\"z-check\">" : "<tr>");
    Cell(out, walk.line() != 0 ? std::to_string(walk.line()) : std::string("-"));
    out << "<td>" << Escaped(walk.name()) << "</td>";
    FitCells(out, p.horizontal, p.in_horizontal, 2);
    if (heights)
      FitCells(out, p.vertical, p.in_vertical, 1);
    std::string status;
    const auto add = [&status](const char* what) {
      status += (status.empty() ? "" : ", ") + std::string(what);
    };
    if (p.in_horizontal && p.horizontal.flagged)
      add(Tr("flagged horizontally"));
    if (p.in_vertical && p.vertical.flagged)
      add(Tr("flagged in height"));
    if (check)
      add(Tr("check point"));
    if (!p.in_horizontal)
      add(Tr("vertical only"));
    else if (heights && !p.in_vertical)
      add(Tr("horizontal only"));
    if (in.limits.any() &&
        !limits.Note(walk.line(), walk.name(), PlaneHorizontal(p), PlaneVertical(p)))
      add(Tr("outside the limits"));
    out << "<td>" << Escaped(status) << "</td></tr>\n";
  }
  out << "</table>\n";
  if (in.limits.any())
    WriteLimits(limits, out);
  return walk.ok() ? Reason() : Reason(Tr(kSpoolUnreadable));
}

// The pipeline for cct and the listing for a controller, each as its --format writes it.
void WriteDefinitions(const ReportInput& in, Output& out) {
  WriteHeading(out, Tr("Definitions"));
  for (const Format form : {Format::kParameters, Format::kPipeline}) {
    ReportInput part = in;
    part.format = form;
    OutputString text;
    if (Reason r = WritePlane(part, text.output()); !r.empty()) {
      out << "<p>" << Escaped(r) << "</p>\n";
      continue;
    }
    out << "<p>" << (form == Format::kParameters ? "parameters" : "pipeline") << "</p>\n<pre>"
        << Escaped(text.text()) << "</pre>\n";
  }
}

}  // namespace

Reason WritePlaneHtml(const ReportInput& in, Output& out) {
  const std::string made_by = MadeBy(in.program);
  WriteHtmlHead(out, Tr("Transformation parameters"), in.input->source, made_by);
  WriteInputs(in, out);
  WriteModel(*in.plane, out);
  WriteParameters(*in.plane, out);
  WriteStatistics(*in.plane, out);
  if (Reason r = WriteResiduals(in, out); !r.empty())
    return r;
  WriteDefinitions(in, out);
  WriteHtmlFoot(out, made_by);
  return {};
}

}  // namespace zerb
