// The reader of a CASS .dat file: name,code,east,north,height per line, no header.
#include "cli/readers/csv_fields.h"
#include "cli/readers/split_lines.h"

namespace zerb {
namespace {

class CassReader final : public RecordReader {
 public:
  CassReader(std::FILE* in, const ReaderSettings& s)
      : lines_(in, s.encoding), columns_(CassColumns(s.side)) {}

  Reason Start() override { return {}; }

  bool Next(Record* record, Reason* reason) override {
    std::string_view line;
    if (!lines_.Next(',', &line, reason))
      return false;
    if (!reason->empty())
      return true;
    std::vector<std::string_view>& fields = lines_.fields();
    constexpr std::size_t kWidth = 5;
    if (fields.size() < kWidth || !DropTrailingEmpty(&fields, kWidth)) {
      *reason = std::to_string(fields.size()) +
                " fields where a CASS .dat line has 5: name,code,east,north,height";
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
  Columns columns_;
};

}  // namespace

std::unique_ptr<RecordReader> MakeCassReader(std::FILE* in, const ReaderSettings& settings) {
  return std::make_unique<CassReader>(in, settings);
}

}  // namespace zerb
