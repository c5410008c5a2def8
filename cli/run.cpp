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
#include "writers/plot.h"
#include "writers/report.h"

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
  for (std::size_t i = 0; i < fit.size(); ++i) {
    const adjust::PointResult r = fit.Point(i);
    if (r.flagged && !r.check) {
      lines += " " + std::to_string(r.tag);
      kept += r.used;
    }
  }
  const bool one = s.points_flagged == 1;
  const std::string fate = kept == s.points_flagged ? "kept in the fit"
                           : kept > 0
                               ? std::to_string(s.points_flagged - kept) + " left out of the fit"
                               : "left out of the fit";
  d->Say("note: " + std::to_string(s.points_flagged) + (one ? " point" : " points") +
         " flagged by the outlier test, " + fate + " (line" + (one ? "" : "s") + lines +
         "); --format text shows the report");
}

}  // namespace

int RunShift(const std::vector<std::string_view>& args, std::FILE* in, std::FILE* out,
             std::FILE* err) {
  StreamDiagnostics diagnostics(err, "zerb-shift");
  Options o;
  if (Reason r = ParseOptions(args, &o); !r.empty()) {
    diagnostics.Say(r + "\nTry 'zerb-shift --help' for more information.");
    return kExitUsage;
  }
  if (o.help) {
    std::fwrite(HelpText().data(), 1, HelpText().size(), out);
    return kExitOk;
  }
  if (o.version) {
    std::fwrite(kVersion.data(), 1, kVersion.size(), out);
    return kExitOk;
  }

  PointSet points;
  InputSummary input;
  switch (GatherPoints(o.input, in, &diagnostics, &points, &input)) {
    case Gathered::kPoints:
      break;
    case Gathered::kUnusable:
      return kExitUsage;
    case Gathered::kNoPoint:
      return kExitNoPoint;
  }

  adjust::FitResult fit;
  if (Reason r = FitPoints(points, o.fit, &fit); !r.empty()) {
    diagnostics.Say("no fit: " + r);
    return kExitNoPoint;
  }
  std::vector<std::string> implausible = ImplausibleParameters(fit, o.fit);
  if (!implausible.empty()) {
    std::string list;
    for (const std::string& p : implausible)
      list += (list.empty() ? "" : "; ") + p;
    diagnostics.Say("the fitted parameters cannot be a Krassovsky to WGS-84 transformation (" +
                    list +
                    "): the input is read wrongly somewhere (angle format, central meridian, "
                    "columns, or points that are not the same)" +
                    (IsExport(o.format) ? "; nothing exported" : ""));
    if (IsExport(o.format))
      return kExitImplausible;
  }
  if (!o.plot.empty()) {
    if (Reason r = WritePlot(o.plot, points, fit, o.fit); !r.empty()) {
      diagnostics.Say(r);
      return kExitUsage;
    }
  }

  ReportInput report;
  report.format = o.format;
  report.delimiter = o.output_delimiter;
  report.points = &points;
  report.fit = &fit;
  report.settings = &o.fit;
  report.convention = o.convention;
  report.input = &input;
  report.refused = diagnostics.refused();
  report.implausible = std::move(implausible);
  if (Reason r = WriteReport(report, out); !r.empty()) {
    diagnostics.Say(r);
    return kExitUsage;
  }
  if (IsExport(o.format))
    NoteFlags(fit, &diagnostics);
  if (std::fflush(out) != 0 || std::ferror(out)) {
    diagnostics.Say("cannot write the output: " + std::string(std::strerror(errno)));
    return kExitUsage;
  }
  if (!report.implausible.empty())
    return kExitImplausible;
  // A name found in one file only is a line not used, as much as a refused one.
  return diagnostics.refused() > 0 || !input.unpaired.empty() ? kExitRefused : kExitOk;
}

}  // namespace zerb
