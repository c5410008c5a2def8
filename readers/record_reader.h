// The readers of common-point files, one per input form: a delimited table with a header row
// (CSV, tab- or semicolon-separated) and a CASS .dat file. Each hands out the records of its
// file one line at a time, as UTF-8 texts sorted into the fields of a point.
#ifndef ZERB_READERS_RECORD_READER_H
#define ZERB_READERS_RECORD_READER_H

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "readers/columns.h"
#include "readers/encoding.h"
#include "text/text.h"

namespace zerb {

enum class InputForm { kAuto, kCsv, kCass };

// "auto", "csv" or "cass".
Reason ParseInputForm(std::string_view text, InputForm* form);

// One line's values as read: views valid until the next call of Next.
struct Record {
  std::uint64_t line = 0;
  std::string_view value[kFieldCount];   // empty where the file has no such column
  std::vector<std::string_view> passed;  // the passed-through columns, in order
};

class RecordReader {
 public:
  virtual ~RecordReader() = default;
  // Reads the start of the file: its encoding, and what precedes the records (a header row). A
  // reason refuses the whole file: an empty one among them.
  virtual Reason Start() = 0;
  // The next record, once Start has succeeded; false at the end of the file or on a read error.
  // *reason is set when the line is refused, and the record is then not filled. Blank lines are
  // skipped.
  virtual bool Next(Record* record, Reason* reason) = 0;
  virtual const Columns& columns() const = 0;
  virtual std::uint64_t line() const = 0;  // of the last line read, from 1
  virtual bool failed() const = 0;
  virtual int error() const = 0;  // the errno of the failed read
  // The character between the fields, once Start has succeeded (a CASS .dat: the comma).
  virtual char delimiter() const { return ','; }
  // Whether the file's first line ended in "\r\n" (known once a line is read).
  virtual bool crlf() const { return false; }
};

struct ReaderSettings {
  Side side = Side::kBoth;
  InputForm form = InputForm::kAuto;  // auto: CASS for a name ending in .dat, else CSV
  Encoding encoding = Encoding::kAuto;
  char delimiter = 0;  // 0: detected from the header row
  bool pipe = false;   // read once as it comes (a pipe): an empty one is not an empty file
};

// A reader for the stream in, whose file name (or "-") is name.
std::unique_ptr<RecordReader> MakeReader(std::FILE* in, std::string_view name,
                                         const ReaderSettings& settings);

}  // namespace zerb

#endif  // ZERB_READERS_RECORD_READER_H
