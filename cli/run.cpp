// The driver of zerb-shift: command line, points, model, report.
#include "cli/run.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "cli/command_line.h"
#include "cli/diagnostics.h"
#include "cli/exit_status.h"
#include "cli/input.h"
#include "cli/models/statistics.h"
#include "cli/writers/report.h"

namespace zerb {
namespace {

constexpr std::string_view kVersion = "zerb-shift " ZERB_VERSION "\n";

// The exports carry no report: say on standard error that points were flagged.
void NoteFlags(const Summary& summary, const PointSet& points, Diagnostics* d) {
  if (summary.flags.empty())
    return;
  // The flags index the fit points, which are the usable points that are not check points.
  std::string lines;
  std::size_t fit = 0;
  std::size_t next = 0;
  for (std::size_t i = 0; i < points.size() && next < summary.flags.size(); ++i) {
    if (points.withdrawn(i) || points.check(i))
      continue;
    if (summary.flags[next].index == fit) {
      lines += " " + std::to_string(points.line(i));
      ++next;
    }
    ++fit;
  }
  const bool one = summary.flags.size() == 1;
  const std::size_t left_out = summary.count_all - summary.count_used;
  const std::string fate = left_out == 0 ? "kept in the mean"
                           : left_out < summary.flags.size()
                               ? std::to_string(left_out) + " left out of the mean"
                               : "left out of the mean";
  d->Say("note: " + std::to_string(summary.flags.size()) + (one ? " point" : " points") +
         " flagged by the residual test, " + fate + " (line" + (one ? "" : "s") + lines +
         "); --format text shows the report");
}

}  // namespace

int RunShift(const std::vector<std::string_view>& args, std::FILE* in, std::FILE* out,
             std::FILE* err) {
  Diagnostics diagnostics(err);
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
  if (int status = GatherPoints(o.input, in, &diagnostics, &points, &input); status != kExitOk)
    return status;

  std::vector<Vec3> shifts;
  shifts.reserve(points.usable());
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (!points.withdrawn(i) && !points.check(i))
      shifts.push_back(points.point(i).shift);
  }
  if (shifts.empty()) {
    diagnostics.Say("no point left for the fit: every usable point is a check point");
    return kExitNoPoint;
  }
  const Summary summary = Summarize(shifts, o.rule);
  shifts = {};

  ReportInput report;
  report.format = o.format;
  report.delimiter = o.output_delimiter;
  report.points = &points;
  report.summary = &summary;
  report.rule = o.rule;
  report.input = &input;
  report.refused = diagnostics.refused();
  if (!WriteReport(report, out)) {
    diagnostics.Say("cannot read the temporary file back");
    return kExitUsage;
  }
  if (IsExport(o.format))
    NoteFlags(summary, points, &diagnostics);
  if (std::fflush(out) != 0 || std::ferror(out)) {
    diagnostics.Say("cannot write the output: " + std::string(std::strerror(errno)));
    return kExitUsage;
  }
  return diagnostics.refused() > 0 ? kExitRefused : kExitOk;
}

}  // namespace zerb
