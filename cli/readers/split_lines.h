// What both readers of common-point files share: the lines of a file as UTF-8, blank ones
// skipped, split into fields; and the sorting of one line's fields into a record.
#ifndef ZERB_CLI_READERS_SPLIT_LINES_H
#define ZERB_CLI_READERS_SPLIT_LINES_H

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/readers/columns.h"
#include "cli/readers/encoding.h"
#include "cli/readers/record_reader.h"

namespace zerb {

// Sorts the split fields of a line into the record by the file's columns.
void Fill(const Columns& columns, const std::vector<std::string_view>& fields, Record* record);

// Lines of text split into fields.
class SplitLines {
 public:
  SplitLines(std::FILE* in, Encoding encoding) : text_(in, encoding) {}
  // The next line that is not blank, split at delim (0: only read, do not split).
  bool Next(char delim, std::string_view* line, Reason* reason);
  std::vector<std::string_view>& fields() { return fields_; }
  std::uint64_t line() const { return text_.number(); }
  bool failed() const { return text_.failed(); }

 private:
  TextLines text_;
  std::vector<std::string_view> fields_;
  std::string scratch_;
};

// The readers of the two input forms.
std::unique_ptr<RecordReader> MakeCsvTableReader(std::FILE* in, const ReaderSettings& settings);
std::unique_ptr<RecordReader> MakeCassReader(std::FILE* in, const ReaderSettings& settings);

}  // namespace zerb

#endif  // ZERB_CLI_READERS_SPLIT_LINES_H
