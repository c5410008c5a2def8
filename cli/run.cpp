// The driver of zerb-shift: command line, points, model, report.
#include "cli/run.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "models/plausibility.h"
#include "points/gather.h"
#include "text/diagnostics.h"
#include "text/translate.h"
#include "writers/plot.h"
#include "writers/report.h"
#include "writers/saved_definition.h"

namespace zerb {
namespace {

constexpr std::string_view kVersion = "zerb-shift " ZERB_VERSION "\n";

// The exports carry no report: say on standard error that points were flagged.
void NoteFlags(const adjust::FitResult& fit, Diagnostics* d) {
  const adjust::Solution& s = fit.solution();
  if (s.points_flagged == 0)
    return;
  std::string lines;
  std::size_t kept = 0;
  // TRANSLATORS: what stands between two line numbers in a list ("lines 4, 9").
  const char* const separator = Tr(", ");
  for (std::size_t i = 0; i < fit.size(); ++i) {
    const adjust::PointResult r = fit.Point(i);
    if (r.flagged && !r.check) {
      lines += (lines.empty() ? "" : separator) + std::to_string(r.tag);
      kept += r.used;
    }
  }
  const std::size_t n = s.points_flagged;
  const char* note =
      // TRANSLATORS: {1} is the number of points flagged, {2} the number of them left out of the
      // fit, {3} their line numbers ("4, 9").
      kept == n ? TrN("note: {1} point flagged by the outlier test, kept in the fit (line {3}); "
                      "--format text shows the report",
                      "note: {1} points flagged by the outlier test, kept in the fit (lines {3}); "
                      "--format text shows the report",
                      n)
      // TRANSLATORS: {1} is the number of points flagged, {2} the number of them left out of the
      // fit, {3} their line numbers ("4, 9").
      : kept > 0 ? TrN("note: {1} point flagged by the outlier test, {2} left out of the fit "
                       "(line {3}); --format text shows the report",
                       "note: {1} points flagged by the outlier test, {2} left out of the fit "
                       "(lines {3}); --format text shows the report",
                       n)
                 // TRANSLATORS: {1} is the number of points flagged, {2} the number of them left
                 // out of the fit, {3} their line numbers ("4, 9").
                 : TrN("note: {1} point flagged by the outlier test, left out of the fit (line "
                       "{3}); --format text shows the report",
                       "note: {1} points flagged by the outlier test, left out of the fit (lines "
                       "{3}); --format text shows the report",
                       n);
  d->Say(Fill(note, n, n - kept, lines));
}

// Writes the output and says why it could not be written; the exit status of the run.
int Finish(const ReportInput& report, StreamDiagnostics& diagnostics, std::FILE* out) {
  if (Reason r = WriteReport(report, out); !r.empty()) {
    diagnostics.Say(r);
    return kExitUsage;
  }
  if (std::fflush(out) != 0 || std::ferror(out)) {
    diagnostics.Say(Fill(Tr("cannot write the output: {1}"), std::strerror(errno)));
    return kExitUsage;
  }
  return kExitOk;
}

// --save: the definition and the area zerb-convert takes, beside what --format printed.
int Save(const Options& o, const ReportInput& report, StreamDiagnostics& diagnostics) {
  if (o.save.empty())
    return kExitOk;
  if (Reason r = SaveDefinition(report, o.save); !r.empty()) {
    diagnostics.Say(r);
    return kExitUsage;
  }
  return kExitOk;
}

// The lines of the points one fit of the plane model flagged, as "4, 9".
std::string FlaggedLines(const adjust::PointFitResult& fit, std::size_t* count) {
  std::string lines;
  *count = 0;
  // TRANSLATORS: what stands between two line numbers in a list ("lines 4, 9").
  const char* const separator = Tr(", ");
  for (std::size_t i = 0; !fit.empty() && i < fit.size(); ++i) {
    const adjust::PointFitPoint p = fit.Point(i);
    if (p.flagged && !p.check) {
      lines += (lines.empty() ? "" : separator) + std::to_string(p.tag);
      ++*count;
    }
  }
  return lines;
}

// The plane model's exports carry no report: say on standard error what the report notes about
// the height fit, and which points were flagged.
void NotePlaneFlags(const PlaneFit& fit, Diagnostics* d) {
  std::size_t horizontal = 0;
  std::size_t vertical = 0;
  const std::string h = FlaggedLines(fit.horizontal, &horizontal);
  const std::string v = FlaggedLines(fit.vertical, &vertical);
  if (!fit.auto_note.empty())
    d->Say(Fill(Tr("note: {1}"), Tr(fit.auto_note.c_str())));
  if (horizontal + vertical == 0)
    return;
  // TRANSLATORS: {1} and {2} are the numbers of points flagged by the horizontal and the height
  // fit's outlier tests, {3} and {4} their line numbers ("4, 9"; "-" for none).
  d->Say(Fill(Tr("note: the outlier test flagged {1} horizontally and {2} in height (input "
                 "lines {3} and {4}); --format text shows the report"),
              static_cast<std::uint64_t>(horizontal), static_cast<std::uint64_t>(vertical),
              h.empty() ? "-" : h, v.empty() ? "-" : v));
}

// A name found in one file only is a line not used, as much as a refused one.
int FinalStatus(const StreamDiagnostics& diagnostics, const InputSummary& input) {
  return diagnostics.refused() > 0 || !input.unpaired.empty() ? kExitRefused : kExitOk;
}

// What every model's report takes from the run: the format, the points, the settings, the input.
ReportInput ReportOf(const Options& o, PointSet& points, const InputSummary& input,
                     const KeepingDiagnostics& diagnostics) {
  ReportInput report;
  report.format = o.format;
  // The csv report keeps the delimiter the user's table was given with, else a comma.
  report.delimiter = o.input.delimiter != 0 ? o.input.delimiter : ',';
  report.points = &points;
  report.settings = &o.fit;
  report.convention = o.convention;
  report.input = &input;
  report.refused = diagnostics.refused();
  report.program = "zerb-shift " ZERB_VERSION;
  report.diagnostics = &diagnostics.kept();
  report.limits = o.limits;
  return report;
}

// The plane model: the similarity and the height fit, and their report.
int RunPlane(const Options& o, PointSet& points, const InputSummary& input,
             KeepingDiagnostics& diagnostics, std::FILE* out) {
  PlaneFit fit;
  if (Reason r = FitPlane(points, o.fit, o.plane_settings, &fit); !r.empty()) {
    diagnostics.Say(Fill(Tr("no fit: {1}"), r));
    return kExitNoPoint;
  }
  ReportInput report = ReportOf(o, points, input, diagnostics);
  report.plane = &fit;
  if (const int status = Finish(report, diagnostics, out); status != kExitOk)
    return status;
  if (const int status = Save(o, report, diagnostics); status != kExitOk)
    return status;
  if (IsExport(o.format))
    NotePlaneFlags(fit, &diagnostics);
  return FinalStatus(diagnostics, input);
}

}  // namespace

int RunShift(const std::vector<std::string_view>& args, std::FILE* in, std::FILE* out,
             std::FILE* err) {
  KeepingDiagnostics diagnostics(err, "zerb-shift");
  Options o;
  if (Reason r = ParseOptions(args, &o); !r.empty()) {
    diagnostics.Say(Fill(Tr("{1}\nTry 'zerb-shift --help' for more information."), r));
    return kExitUsage;
  }
  if (o.help) {
    const std::string help = HelpText();
    std::fwrite(help.data(), 1, help.size(), out);
    return kExitOk;
  }
  if (o.version) {
    std::fwrite(kVersion.data(), 1, kVersion.size(), out);
    return kExitOk;
  }

  // The picture draws each point where the grid has it; nothing else needs those positions, so
  // the points keep them only for it.
  InputSettings gather = o.input;
  gather.grid_positions = !o.plot.empty() || o.format == Format::kHtml || !o.save.empty();
  PointSet points;
  InputSummary input;
  switch (GatherPoints(gather, in, &diagnostics, &points, &input)) {
    case Gathered::kPoints:
      break;
    case Gathered::kUnusable:
      return kExitUsage;
    case Gathered::kNoPoint:
      return kExitNoPoint;
  }

  if (o.plane)
    return RunPlane(o, points, input, diagnostics, out);

  adjust::FitResult fit;
  if (Reason r = FitPoints(points, o.fit, &fit); !r.empty()) {
    diagnostics.Say(Fill(Tr("no fit: {1}"), r));
    return kExitNoPoint;
  }
  std::vector<Implausible> implausible = ImplausibleParameters(fit, o.fit);
  if (!implausible.empty()) {
    const std::string list = ImplausibleList(implausible, Tr);
    // TRANSLATORS: {1} lists the parameters beyond their limits, as "rx = 25.1 arc-seconds".
    diagnostics.Say(Fill(IsExport(o.format)
                             ? Tr("the fitted parameters cannot be a transformation between two "
                                  "geodetic datums ({1}): the input is read wrongly somewhere "
                                  "(angle format, central meridian, columns, or points that are "
                                  "not the same); nothing exported")
                             : Tr("the fitted parameters cannot be a transformation between two "
                                  "geodetic datums ({1}): the input is read wrongly somewhere "
                                  "(angle format, central meridian, columns, or points that are "
                                  "not the same)"),
                         list));
    if (IsExport(o.format))
      return kExitImplausible;
  }
  if (!o.plot.empty()) {
    if (Reason r = WritePlot(o.plot, points, fit); !r.empty()) {
      diagnostics.Say(r);
      return kExitUsage;
    }
  }

  ReportInput report = ReportOf(o, points, input, diagnostics);
  report.fit = &fit;
  report.implausible = std::move(implausible);
  if (const int status = Finish(report, diagnostics, out); status != kExitOk)
    return status;
  if (report.implausible.empty()) {
    if (const int status = Save(o, report, diagnostics); status != kExitOk)
      return status;
  }
  if (IsExport(o.format))
    NoteFlags(fit, &diagnostics);
  if (!report.implausible.empty())
    return kExitImplausible;
  return FinalStatus(diagnostics, input);
}

}  // namespace zerb
