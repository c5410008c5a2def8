// Writes the result of zerb-shift in one of its formats as it goes: the readable report, CSV,
// JSON, and the three exports a GIS takes (+towgs84, a PROJ helmert step, a WKT TOWGS84 clause).
#ifndef ZERB_CLI_WRITERS_REPORT_H
#define ZERB_CLI_WRITERS_REPORT_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/input.h"
#include "cli/models/statistics.h"
#include "cli/points/point_set.h"
#include "cli/writers/format.h"
#include "cli/writers/output.h"

namespace zerb {

struct ReportInput {
  Format format = Format::kText;
  char delimiter = ',';
  PointSet* points = nullptr;
  const Summary* summary = nullptr;  // over the points of the fit, in their order
  ResidualRule rule;
  const InputSummary* input = nullptr;
  std::uint64_t refused = 0;
};

// Writes the report to out. Returns false when the spool could not be read back.
bool WriteReport(const ReportInput& in, std::FILE* out);

bool WriteText(const ReportInput& in, Output& out);
bool WriteCsv(const ReportInput& in, Output& out);
bool WriteJson(const ReportInput& in, Output& out);
void WriteExport(const ReportInput& in, Output& out);

// Walks the usable points in input order, with their text columns and their part in the fit.
class PointWalk {
 public:
  explicit PointWalk(const ReportInput& in);
  // Moves to the next usable point; false at the end or when the spool cannot be read.
  bool Next();
  bool ok() const { return ok_; }
  std::size_t index() const { return index_; }  // into the point set
  const ComputedPoint& point() const { return in_.points->point(index_); }
  std::uint64_t line() const { return in_.points->line(index_); }
  std::uint64_t wgs84_line() const { return in_.points->wgs84_line(index_); }
  bool check() const { return in_.points->check(index_); }
  const std::vector<std::string>& fields() const { return fields_; }
  std::string_view name() const {
    return in_.points->has_name() && !fields_.empty() ? std::string_view(fields_[0])
                                                      : std::string_view();
  }
  // The residual test's flag on this point, or null when it passed or is a check point.
  const Flag* flag() const { return flag_; }
  // The residual against the final mean.
  Vec3 residual() const { return Residual(point().shift, *in_.summary); }

 private:
  const ReportInput& in_;
  bool ok_ = true;
  bool started_ = false;
  std::vector<std::string> fields_;
  std::size_t index_ = 0;
  std::size_t fit_ = 0;        // fit points walked so far
  std::size_t next_flag_ = 0;  // the flags are in fit order
  const Flag* flag_ = nullptr;
};

}  // namespace zerb

#endif  // ZERB_CLI_WRITERS_REPORT_H
