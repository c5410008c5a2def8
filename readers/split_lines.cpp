// Lines split into fields and sorted into records; see split_lines.h.
#include "readers/split_lines.h"

#include "readers/csv_fields.h"
#include "text/translate.h"

namespace zerb {
namespace {

// Sorts the split fields of a line into the record by the file's columns.
void Fill(const Columns& columns, const std::vector<std::string_view>& fields, Record* record) {
  for (int f = 0; f < kFieldCount; ++f) {
    const int i = columns.index[f];
    record->value[f] = i >= 0 ? fields[i] : std::string_view();
  }
  record->passed.clear();
  for (int i : columns.passed)
    record->passed.push_back(fields[i]);
}

// Whether line holds nothing but blanks and delimiters, as the rows Excel writes below a table
// (",,,,,,"): the file's own delimiter, or any of the three a table may have.
bool IsEmptyRow(std::string_view line, char delim) {
  const char marks[] = {' ', '\t', ',', ';', delim};
  return line.find_first_not_of(std::string_view(marks, delim != 0 ? 5 : 4)) ==
         std::string_view::npos;
}

}  // namespace

bool SplitLines::Next(char delim, std::string_view* line, Reason* reason) {
  while (text_.Next(line, reason)) {
    if (reason->empty() && IsEmptyRow(*line, delim))
      continue;
    if (reason->empty() && delim != 0)
      *reason = SplitCsvLine(*line, delim, &fields_, &scratch_);
    return true;
  }
  return false;
}

bool SplitLines::NextRecord(char delim, const Columns& columns, std::size_t width,
                            std::string_view expected, Record* record, Reason* reason) {
  std::string_view line;
  if (!Next(delim, &line, reason))
    return false;
  if (!reason->empty())
    return true;
  if (fields_.size() < width || !DropTrailingEmpty(&fields_, width)) {
    *reason = Fill(expected, fields_.size());
    return true;
  }
  record->line = text_.number();
  Fill(columns, fields_, record);
  return true;
}

}  // namespace zerb
