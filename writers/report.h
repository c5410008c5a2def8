// Writes the result of zerb-shift in one of its formats as it goes: the readable report, CSV,
// JSON, the three exports a GIS takes (+towgs84, a PROJ helmert step, a WKT TOWGS84 clause), and
// the complete CRS definitions and pipeline that PROJ builds.
#ifndef ZERB_WRITERS_REPORT_H
#define ZERB_WRITERS_REPORT_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "adjust/adjust.h"
#include "models/model.h"
#include "models/plane_model.h"
#include "models/plausibility.h"
#include "models/residual_limits.h"
#include "points/gather.h"
#include "points/point_set.h"
#include "text/diagnostics.h"
#include "writers/format.h"
#include "writers/output.h"

namespace zerb {

struct ReportInput {
  Format format = Format::kText;
  char delimiter = ',';
  PointSet* points = nullptr;
  const adjust::FitResult* fit = nullptr;  // the three- or seven-parameter fit, or
  const PlaneFit* plane = nullptr;         // the plane model's
  const adjust::Settings* settings = nullptr;
  Convention convention = Convention::kPositionVector;
  const InputSummary* input = nullptr;
  std::uint64_t refused = 0;
  // The parameters beyond what a fit between two geodetic datums can have (plausibility.h).
  std::vector<Implausible> implausible;
  // The residual limits each point is held against (none set by default).
  ResidualLimits limits;
  // For the HTML report: the program and its version, and what was said about the input.
  std::string program;
  const std::vector<KeepingDiagnostics::Kept>* diagnostics = nullptr;
};

// Why a report stopped short: the points' text columns wait in a temporary file (text_spool.h).
inline constexpr const char* kSpoolUnreadable = NoTr("cannot read the temporary file back");

// Writes the report to out. Returns an empty string, or why it could not be written.
Reason WriteReport(const ReportInput& in, std::FILE* out);

// Each form's writer; each returns why it stopped short, or an empty reason.
Reason WriteText(const ReportInput& in, Output& out);
Reason WriteCsv(const ReportInput& in, Output& out);
Reason WriteJson(const ReportInput& in, Output& out);
Reason WriteExport(const ReportInput& in, Output& out);
Reason WriteDefinition(const ReportInput& in, Output& out);
// The report to hand to a client, one self-contained HTML file (html_report.cpp); the points
// must keep their grid positions for its picture.
Reason WriteHtml(const ReportInput& in, Output& out);
// The plane model's report in each form (plane_report.cpp), and its HTML report (plane_html.cpp).
Reason WritePlane(const ReportInput& in, Output& out);
Reason WritePlaneHtml(const ReportInput& in, Output& out);

// The parameters as exported, in the convention asked for: 4 decimals in metres, 6 in
// arc-seconds and ppm, so that rounding never moves a point by 0.1 mm.
std::string TranslationText(const adjust::BursaWolf& p, std::string_view separator);
std::string RotationText(const adjust::BursaWolf& p, std::string_view separator);
std::string Decimals6(double value);

// A number in a printf format, and a text right-aligned in width characters: the columns of the
// readable reports.
std::string Number(const char* format, double value);
void Right(Output& out, const std::string& s, std::size_t width);
// A cell of a table after another: right-aligned in width, which holds the blank that parts it
// from the cell before; a value that fills the width, or is wider, still gets that blank.
void Column(Output& out, const std::string& s, std::size_t width);
// The CSV reports' first titles: line, wgs84_line with two files, the points' text columns.
void WriteCsvLeadTitles(const PointSet& points, char delimiter, Output& out);

// The words for a fit's warning, and for why its outlier test was not run, worded through
// translate (text/translate.h).
std::string WarningText(const adjust::Warning& warning, Translate translate);
std::string NotTestedText(const adjust::Solution& solution, Translate translate);

// Walks the points in input order, with their text columns and their results in the fit.
class PointWalk {
 public:
  explicit PointWalk(const ReportInput& in);
  // Moves to the next point; false at the end or when the spool cannot be read.
  bool Next();
  bool ok() const { return ok_; }
  std::size_t index() const { return index_; }
  // The point's result in the three- or seven-parameter fit (not filled for the plane model).
  const adjust::PointResult& result() const { return result_; }
  std::uint64_t line() const { return in_.points->line(index_); }
  std::uint64_t wgs84_line() const { return in_.points->wgs84_line(index_); }
  const std::vector<std::string>& fields() const { return fields_; }
  std::string_view name() const {
    return in_.points->has_name() && !fields_.empty() ? std::string_view(fields_[0])
                                                      : std::string_view();
  }

 private:
  const ReportInput& in_;
  bool ok_ = true;
  bool started_ = false;
  std::vector<std::string> fields_;
  std::size_t index_ = 0;
  adjust::PointResult result_;
};

}  // namespace zerb

#endif  // ZERB_WRITERS_REPORT_H
