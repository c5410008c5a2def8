// The reader of a delimited table with a header row naming its columns.
#include "cli/readers/csv_fields.h"
#include "cli/readers/split_lines.h"

namespace zerb {
namespace {

class CsvTableReader final : public RecordReader {
 public:
  CsvTableReader(std::FILE* in, const ReaderSettings& s)
      : lines_(in, s.encoding), side_(s.side), delimiter_(s.delimiter) {}

  Reason Start() override {
    std::string_view line;
    Reason reason;
    if (!lines_.Next(0, &line, &reason)) {
      return "the file is empty (a header row naming the columns is expected)";
    }
    if (!reason.empty())
      return reason;
    if (delimiter_ == 0)
      delimiter_ = DetectDelimiter(line);
    if (Reason r = SplitCsvLine(line, delimiter_, &lines_.fields(), &scratch_); !r.empty())
      return r;
    return ReadHeader(lines_.fields(), side_, &columns_);
  }

  bool Next(Record* record, Reason* reason) override {
    std::string_view line;
    if (!lines_.Next(delimiter_, &line, reason))
      return false;
    if (!reason->empty())
      return true;
    std::vector<std::string_view>& fields = lines_.fields();
    const std::size_t width = columns_.titles.size();
    if (fields.size() < width || !DropTrailingEmpty(&fields, width)) {
      *reason =
          std::to_string(fields.size()) + " fields where the header has " + std::to_string(width);
      return true;
    }
    record->line = lines_.line();
    Fill(columns_, fields, record);
    return true;
  }

  const Columns& columns() const override { return columns_; }
  std::uint64_t line() const override { return lines_.line(); }
  bool failed() const override { return lines_.failed(); }

 private:
  SplitLines lines_;
  Side side_;
  char delimiter_;
  Columns columns_;
  std::string scratch_;
};

}  // namespace

std::unique_ptr<RecordReader> MakeCsvTableReader(std::FILE* in, const ReaderSettings& settings) {
  return std::make_unique<CsvTableReader>(in, settings);
}

}  // namespace zerb
