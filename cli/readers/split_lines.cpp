// Lines split into fields and sorted into records; see split_lines.h.
#include "cli/readers/split_lines.h"

#include "cli/readers/csv_fields.h"

namespace zerb {

void Fill(const Columns& columns, const std::vector<std::string_view>& fields, Record* record) {
  for (int f = 0; f < kFieldCount; ++f) {
    const int i = columns.index[f];
    record->value[f] = i >= 0 ? fields[i] : std::string_view();
  }
  record->passed.clear();
  for (int i : columns.passed)
    record->passed.push_back(fields[i]);
}

bool SplitLines::Next(char delim, std::string_view* line, Reason* reason) {
  while (text_.Next(line, reason)) {
    if (reason->empty() && Trim(*line).empty())
      continue;
    if (reason->empty() && delim != 0)
      *reason = SplitCsvLine(*line, delim, &fields_, &scratch_);
    return true;
  }
  return false;
}

}  // namespace zerb
