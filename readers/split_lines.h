// What both readers of common-point files share: the lines of a file as UTF-8, blank ones
// skipped (rows of nothing but delimiters among them), split into fields and sorted into records.
#ifndef ZERB_READERS_SPLIT_LINES_H
#define ZERB_READERS_SPLIT_LINES_H

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "readers/columns.h"
#include "readers/encoding.h"
#include "readers/record_reader.h"

namespace zerb {

// Lines of text split into fields.
class SplitLines {
 public:
  SplitLines(std::FILE* in, Encoding encoding) : text_(in, encoding) {}
  // Settles the encoding from the start of the stream; see TextLines::Start.
  Reason Start(bool pipe) { return text_.Start(pipe); }
  // The next line that is not blank, split at delim (0: only read, do not split). A line of
  // nothing but blanks and delimiters (delim, comma, semicolon, tab) is blank.
  bool Next(char delim, std::string_view* line, Reason* reason);
  // The next line split at delim and sorted into record by columns. A line of more than width
  // fields (but for empty trailing ones) or fewer is refused with expected, a message pattern
  // whose {1} is the number of fields found.
  bool NextRecord(char delim, const Columns& columns, std::size_t width, std::string_view expected,
                  Record* record, Reason* reason);
  std::vector<std::string_view>& fields() { return fields_; }
  std::uint64_t line() const { return text_.number(); }
  bool crlf() const { return text_.crlf(); }
  bool failed() const { return text_.failed(); }
  int error() const { return text_.error(); }  // the errno of the failed read

 private:
  TextLines text_;
  std::vector<std::string_view> fields_;
  std::string scratch_;
};

// What both readers hold: the split lines of their file and its columns.
class SplitRecordReader : public RecordReader {
 public:
  SplitRecordReader(std::FILE* in, const ReaderSettings& settings)
      : lines_(in, settings.encoding), pipe_(settings.pipe) {}
  const Columns& columns() const override { return columns_; }
  std::uint64_t line() const override { return lines_.line(); }
  bool crlf() const override { return lines_.crlf(); }
  bool failed() const override { return lines_.failed(); }
  int error() const override { return lines_.error(); }

 protected:
  SplitLines lines_;
  Columns columns_;
  bool pipe_;
};

// The readers of the two input forms.
std::unique_ptr<RecordReader> MakeCsvTableReader(std::FILE* in, const ReaderSettings& settings);
std::unique_ptr<RecordReader> MakeCassReader(std::FILE* in, const ReaderSettings& settings);

}  // namespace zerb

#endif  // ZERB_READERS_SPLIT_LINES_H
