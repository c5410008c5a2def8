// The two readers of common-point files; see record_reader.h.
#include "cli/readers/record_reader.h"

#include "cli/readers/csv_fields.h"

namespace zerb {
namespace {

bool IsBlankLine(std::string_view line) {
  return Trim(line).empty();
}

bool EndsWithDat(std::string_view name) {
  if (name.size() < 4)
    return false;
  std::string tail(name.substr(name.size() - 4));
  for (char& c : tail)
    c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
  return tail == ".dat";
}

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

// Lines of text split into fields, shared by both readers.
class SplitLines {
 public:
  SplitLines(std::FILE* in, Encoding encoding) : text_(in, encoding) {}
  // The next line that is not blank, split at delim (0: only read, do not split).
  bool Next(char delim, std::string_view* line, Reason* reason) {
    while (text_.Next(line, reason)) {
      if (reason->empty() && IsBlankLine(*line))
        continue;
      if (reason->empty() && delim != 0)
        *reason = SplitCsvLine(*line, delim, &fields_, &scratch_);
      return true;
    }
    return false;
  }
  std::vector<std::string_view>& fields() { return fields_; }
  std::uint64_t line() const { return text_.number(); }
  bool failed() const { return text_.failed(); }

 private:
  TextLines text_;
  std::vector<std::string_view> fields_;
  std::string scratch_;
};

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

Reason ParseInputForm(std::string_view text, InputForm* form) {
  if (text == "auto") {
    *form = InputForm::kAuto;
  } else if (text == "csv") {
    *form = InputForm::kCsv;
  } else if (text == "cass") {
    *form = InputForm::kCass;
  } else {
    return "unknown input format " + Quoted(text) + " (auto, csv or cass)";
  }
  return {};
}

std::unique_ptr<RecordReader> MakeReader(std::FILE* in, std::string_view name,
                                         const ReaderSettings& settings) {
  const bool cass =
      settings.form == InputForm::kCass || (settings.form == InputForm::kAuto && EndsWithDat(name));
  if (cass)
    return std::make_unique<CassReader>(in, settings);
  return std::make_unique<CsvTableReader>(in, settings);
}

}  // namespace zerb
