// Writes the result of zerb-shift in one of its formats: the readable report, CSV, JSON, and the
// three exports a GIS takes (+towgs84, a PROJ helmert step, a WKT TOWGS84 clause).
//
// Decimals: a point's own dx, dy, dz go to CSV and JSON in the shortest form that reads back as
// the same double, so they can be compared with the dialog bit for bit. Everything derived
// (means, residuals, RMS), the text report and the exports carry 4 decimals, 0.1 mm: a
// millimetre is never lost, and more digits would claim more than the inverse projection's few
// millimetres of accuracy.
#ifndef ZERB_CLI_REPORT_H
#define ZERB_CLI_REPORT_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/statistics.h"
#include "cli/text_spool.h"

namespace zerb {

struct ReportInput {
  Format format = Format::kText;
  char delimiter = ',';
  const std::vector<Vec3>* shifts = nullptr;
  const std::vector<std::uint64_t>* lines = nullptr;  // input line of each point
  const Summary* summary = nullptr;
  ResidualRule rule;
  // Titles of the spooled text columns (name first when there is one); empty when none.
  std::vector<std::string> text_titles;
  bool has_name = false;
  TextSpool* spool = nullptr;  // the text columns, when there are any
  std::uint64_t refused = 0;
};

// Writes the report to out. Returns false when the spool could not be read back.
bool WriteReport(const ReportInput& in, std::FILE* out);

// The number with 4 decimals, never "-0.0000".
void AppendFixed(std::string* s, double value);

}  // namespace zerb

#endif  // ZERB_CLI_REPORT_H
