// The reader of a delimited table with a header row naming its columns.
#include "readers/csv_fields.h"
#include "readers/split_lines.h"
#include "text/translate.h"

namespace zerb {
namespace {

class CsvTableReader final : public SplitRecordReader {
 public:
  CsvTableReader(std::FILE* in, const ReaderSettings& s)
      : SplitRecordReader(in, s), side_(s.side), delimiter_(s.delimiter) {}

  Reason Start() override {
    if (Reason r = lines_.Start(pipe_); !r.empty())
      return r;
    std::string_view line;
    Reason reason;
    if (!lines_.Next(0, &line, &reason)) {
      return lines_.failed() ? Fill(Tr("read error: {1}"), ErrnoText(lines_.error()))
                             : Tr("no header row: the file holds blank lines only");
    }
    if (!reason.empty())
      return reason;
    if (delimiter_ == 0)
      delimiter_ = DetectDelimiter(line);
    if (Reason r = SplitCsvLine(line, delimiter_, &lines_.fields(), &scratch_); !r.empty())
      return r;
    if (Reason r = ReadHeader(lines_.fields(), side_, &columns_); !r.empty())
      return r;
    // Worded once: Next runs for every line of a million.
    // TRANSLATORS: {1} is the number of fields the line has, {2} the header's.
    short_line_ = Fill(Tr("{1} fields where the header has {2}"), "{1}", columns_.titles.size());
    return {};
  }

  char delimiter() const override { return delimiter_; }

  bool Next(Record* record, Reason* reason) override {
    return lines_.NextRecord(delimiter_, columns_, columns_.titles.size(), short_line_, record,
                             reason);
  }

 private:
  Side side_;
  char delimiter_;
  std::string scratch_;
  std::string short_line_;  // the pattern of a line with too few fields
};

}  // namespace

std::unique_ptr<RecordReader> MakeCsvTableReader(std::FILE* in, const ReaderSettings& settings) {
  return std::make_unique<CsvTableReader>(in, settings);
}

}  // namespace zerb
