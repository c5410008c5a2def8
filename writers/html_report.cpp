// The report of a three- or seven-parameter fit to hand to a client, as one self-contained HTML
// file: the inputs, the model and the grid, the parameters with their standard deviations, the
// statistics, the residuals of every point with its flags, the residual picture inline and the
// definitions for the client's tools, with the date and the program that made it. It opens in
// any browser and prints on A4 (html.h: a print style sheet keeps rows and the picture from
// breaking across pages). Its words come from the same catalogue as every other message, so it
// is in the user's language.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "crs/crs_definitions.h"
#include "text/translate.h"
#include "writers/check_residuals.h"
#include "writers/grid_description.h"
#include "writers/html.h"
#include "writers/limit_tally.h"
#include "writers/plot.h"
#include "writers/report.h"

namespace zerb {
namespace {

void WriteInputs(const ReportInput& in, Output& out) {
  const adjust::Solution& s = in.fit->solution();
  const InputSummary& input = *in.input;
  out << "<h2>" << Escaped(Tr("Input")) << "</h2>\n<table class=\"z-facts\">\n";
  Fact(out, Tr("file"), input.source);
  if (!input.wgs84_source.empty())
    Fact(out, Tr("GNSS file"), input.wgs84_source);
  Fact(out, Tr("common points"), std::to_string(s.points));
  Fact(out, Tr("used in the fit"), std::to_string(s.points_used));
  Fact(out, Tr("check points"), std::to_string(s.points_check));
  Fact(out, Tr("flagged by the outlier test"), std::to_string(s.points_flagged));
  Fact(out, Tr("lines refused"), std::to_string(in.refused));
  Fact(out, Tr("names in one file only"), std::to_string(input.unpaired.size()));
  if (!input.left_out.empty())
    Fact(out, Tr("left out by the user"), std::to_string(input.left_out.size()));
  out << "</table>\n";
  WriteSaid(in, out);
}

void WriteModel(const ReportInput& in, Output& out) {
  const adjust::Solution& s = in.fit->solution();
  const InputSummary& input = *in.input;
  out << "<h2>" << Escaped(Tr("Model")) << "</h2>\n<table class=\"z-facts\">\n";
  Fact(out, Tr("model"), Tr(ModelName(s.model)));
  if (s.model == adjust::Model::kSevenParameter)
    Fact(out, Tr("rotation convention"), ConventionName(in.convention));
  Fact(out, Tr("GNSS datum"), GnssDatumName(input.gnss_datum));
  Fact(out, Tr("grid ellipsoid"), crs::EllipsoidName(input.grid_system.ellipsoid));
  Fact(out, Tr("central meridian"),
       input.mixed_zones || input.meridian == kNoMeridian ? std::string("-")
                                                          : crs::Shortest(input.meridian));
  if (!input.grid_system.beijing_1954()) {
    OutputString grid;
    WriteGridSystemLine(input, grid.output());
    Fact(out, Tr("grid"), grid.text());
  }
  Fact(out, Tr("inverse projection"), ProjectionKindName(input.projection));
  out << "</table>\n";
}

constexpr const char* kNames[7] = {"tx", "ty", "tz", "rx", "ry", "rz", "s"};
constexpr const char* kUnits[7] = {"m", "m", "m", "\"", "\"", "\"", "ppm"};

void WriteParameterTable(const ReportInput& in, Output& out) {
  const adjust::Solution& s = in.fit->solution();
  const adjust::BursaWolf p = InConvention(s.exported, in.convention);
  const double values[7] = {p.tx, p.ty, p.tz, p.rx, p.ry, p.rz, p.s};
  const bool known = s.dof > 0 || s.a_priori;
  out << "<h2>" << Escaped(Tr("Parameters")) << "</h2>\n<table>\n<thead><tr><th>"
      << Escaped(Tr("parameter")) << "</th><th>" << Escaped(Tr("value")) << "</th><th>"
      << Escaped(Tr("unit")) << "</th><th>" << Escaped(Tr("standard deviation"))
      << "</th></tr></thead>\n";
  for (int k = 0; k < s.parameter_count; ++k) {
    const bool length = k < 3;
    out << "<tr><td>" << kNames[k] << "</td>";
    Cell(out, length ? Fixed(values[k]) : Decimals6(values[k]));
    out << "<td>" << Escaped(kUnits[k]) << "</td>";
    Cell(out, !known   ? std::string("-")
              : length ? Fixed(s.standard_deviation[k])
                       : Decimals6(s.standard_deviation[k]));
    out << "</tr>\n";
  }
  out << "</table>\n";
  if (s.parameter_count == 7) {
    const adjust::Matrix7 correlation = CorrelationInConvention(s.correlation, in.convention);
    out << "<p>" << Escaped(Tr("correlations:")) << "</p>\n<table>\n<thead><tr><th></th>";
    for (const char* name : kNames)
      out << "<th>" << name << "</th>";
    out << "</tr></thead>\n";
    for (int r = 0; r < 7; ++r) {
      out << "<tr><th>" << kNames[r] << "</th>";
      for (int c = 0; c < 7; ++c) {
        const std::string text = Number("%.3f", correlation[r][c]);
        Cell(out, text == "-0.000" ? "0.000" : text);
      }
      out << "</tr>\n";
    }
    out << "</table>\n";
  }
}

void WriteStatistics(const ReportInput& in, Output& out) {
  const adjust::Solution& s = in.fit->solution();
  out << "<h2>" << Escaped(Tr("Statistics")) << "</h2>\n<table class=\"z-facts\">\n";
  Fact(out, Tr("sigma0 (a posteriori)"),
       s.dof > 0 ? (s.a_priori ? Number("%.3f", s.sigma0) : Fixed(s.sigma0) + " m")
                 : std::string("-"));
  Fact(out, Tr("degrees of freedom"), Number("%.0f", s.dof));
  if (s.a_priori) {
    Fact(out, Tr("a-priori sigma, horizontal / vertical"),
         Fixed(in.settings->sigma_horizontal) + " / " + Fixed(in.settings->sigma_vertical) + " m");
    if (s.global_test.run) {
      Fact(out, Tr("global test"),
           Number("%.3f", s.global_test.statistic) + " / " +
               Number("%.3f", s.global_test.critical) + ": " +
               (s.global_test.rejected ? Tr("rejected") : Tr("accepted")));
    }
  }
  if (s.tested) {
    Fact(out, Tr("outlier test"),
         Fill(Tr("data snooping at alpha {1} per point"), Number("%g", in.settings->alpha_point)));
    if (s.point_critical > 0)
      Fact(out, Tr("critical value of T"), Number("%.2f", s.point_critical));
  } else {
    Fact(out, Tr("outlier test"), Fill(Tr("not run ({1})"), NotTestedText(s, Tr)));
  }
  if (s.model == adjust::Model::kSevenParameter && s.extra_parameters.run) {
    Fact(out, Tr("rotations and scale against three parameters (F test)"),
         Number("%.3f", s.extra_parameters.statistic) + " / " +
             Number("%.3f", s.extra_parameters.critical) + ": " +
             (s.extra_parameters.rejected ? Tr("justified by these points")
                                          : Tr("not justified by these points")));
  }
  out << "</table>\n";
  for (const adjust::Warning& w : s.warnings)
    out << "<p class=\"z-warning\">" << Escaped(Fill(Tr("warning: {1}"), WarningText(w, Tr)))
        << "</p>\n";
  if (!in.implausible.empty()) {
    out << "<p class=\"z-warning\">"
        << Escaped(Fill(Tr("NOT A DATUM TRANSFORMATION: no transformation between two geodetic "
                           "datums has these parameters ({1}); the input is read wrongly "
                           "somewhere, nothing here "
                           "is to be used"),
                        ImplausibleList(in.implausible, Tr)))
        << "</p>\n";
  }
}

Reason WriteResiduals(const ReportInput& in, Output& out) {
  out << "<h2>" << Escaped(Tr("Residuals")) << "</h2>\n<table>\n<thead><tr>";
  for (const char* title : {NoTr("line"), NoTr("name"), "vN (m)", "vE (m)", "vU (m)", "v (m)", "r",
                            "T", "MDB (m)", NoTr("status")}) {
    out << "<th>" << Escaped(Tr(title)) << "</th>";
  }
  out << "</tr></thead>\n";
  PointWalk walk(in);
  const char* const flagged = Tr("flagged");
  const char* const check = Tr("check point");
  const char* const outside = Tr("outside the limits");
  LimitTally limits(in.limits);
  CheckTally check_tally;
  while (walk.Next()) {
    const adjust::PointResult& r = walk.result();
    check_tally.Note(r);
    out << (r.flagged ? "<tr class=\"z-flagged\">" : r.check ? "<tr class=\"z-check\">" : "<tr>");
    Cell(out, r.tag != 0 ? std::to_string(r.tag) : std::string("-"));
    out << "<td>" << Escaped(walk.name()) << "</td>";
    Cell(out, Fixed(r.residual_neu.x));
    Cell(out, Fixed(r.residual_neu.y));
    Cell(out, Fixed(r.residual_neu.z));
    Cell(out, Fixed(r.residual_length));
    Cell(out, r.used ? Number("%.2f", r.redundancy) : std::string("-"));
    Cell(out, r.tested ? Number("%.2f", r.test_statistic) : std::string("-"));
    const double mdb = std::max(std::max(r.mdb_neu.x, r.mdb_neu.y), r.mdb_neu.z);
    Cell(out, r.tested && std::isfinite(mdb) ? Fixed(mdb) : std::string("-"));
    std::string status = r.flagged ? std::string(flagged) : std::string();
    if (r.check)
      status += (status.empty() ? "" : ", ") + std::string(check);
    if (in.limits.any() &&
        !limits.Note(r.tag, walk.name(), HorizontalResidual(r), r.residual_neu.z))
      status += (status.empty() ? "" : ", ") + std::string(outside);
    out << "<td>" << Escaped(status) << "</td></tr>\n";
  }
  out << "</table>\n";
  if (!walk.ok())
    return Tr(kSpoolUnreadable);
  if (in.fit->solution().points_check > 0) {
    out << "<p class=\"z-checks\">" << Escaped(CheckResidualsText(check_tally.Result()))
        << "</p>\n";
  }
  if (in.limits.any())
    WriteLimits(limits, out);
  return {};
}

// The picture, drawn into memory and put inline without its XML declaration (an HTML document
// holds the svg element itself). Its style sheet then applies to the whole document, so the
// report's own classes carry a prefix the picture's never have.
Reason WritePicture(const ReportInput& in, Output& out) {
  std::string svg;
  if (Reason r = DrawPlotText(*in.points, *in.fit, &svg); !r.empty())
    return r;
  if (svg.starts_with("<?xml"))
    svg.erase(0, svg.find('\n') + 1);
  out << "<h2>" << Escaped(Tr("Residual picture")) << "</h2>\n<figure>\n" << svg << "</figure>\n";
  return {};
}

// The definitions a client's tools take: the WKT2 of the grid bound to the GNSS datum, and the
// pipeline for cct; each as zerb-shift's --format writes it.
void WriteDefinitions(const ReportInput& in, Output& out) {
  WriteHeading(out, Tr("Definitions"));
  for (const Format form : {Format::kCrsWkt2, Format::kPipeline}) {
    ReportInput definition = in;
    definition.format = form;
    OutputString text;
    if (Reason r = WriteDefinition(definition, text.output()); !r.empty()) {
      out << "<p>" << Escaped(r) << "</p>\n";
      continue;
    }
    out << "<p>" << (form == Format::kCrsWkt2 ? "crs-wkt2 (WKT2:2019)" : "pipeline")
        << "</p>\n<pre>" << Escaped(text.text()) << "</pre>\n";
  }
}

}  // namespace

Reason WriteHtml(const ReportInput& in, Output& out) {
  const std::string made_by = MadeBy(in.program);
  WriteHtmlHead(out, Tr("Transformation parameters"), in.input->source, made_by);
  WriteInputs(in, out);
  WriteModel(in, out);
  WriteParameterTable(in, out);
  WriteStatistics(in, out);
  if (Reason r = WriteResiduals(in, out); !r.empty())
    return r;
  if (in.points->has_grid_positions()) {
    if (Reason r = WritePicture(in, out); !r.empty())
      return r;
  }
  if (in.implausible.empty())
    WriteDefinitions(in, out);
  WriteHtmlFoot(out, made_by);
  return {};
}

}  // namespace zerb
