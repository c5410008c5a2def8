// Fuzzes the delimited-table reader: the field splitter and delimiter guess on the first line,
// the header row for each side, and the whole table read record by record.
// Input: one settings byte (delimiter, side, whether the stream is seekable), then the table.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "readers/columns.h"
#include "readers/csv_fields.h"
#include "readers/record_reader.h"

namespace zerb::fuzz {
namespace {

constexpr char kDelimiters[] = {0, ',', '\t', ';', '|'};  // as --delimiter takes them
constexpr Side kSides[] = {Side::kBoth, Side::kGrid, Side::kWgs84};

// Whether view lies inside text.
bool Within(std::string_view view, std::string_view text) {
  return view.empty() ||
         (view.data() >= text.data() && view.data() + view.size() <= text.data() + text.size());
}

void SplitOneLine(std::string_view line, char delim) {
  std::vector<std::string_view> fields;
  std::string scratch;
  const Reason reason = SplitCsvLine(line, delim, &fields, &scratch);
  RequireUtf8(reason, "the splitter's reason");
  if (!reason.empty())
    return;
  Require(!fields.empty(), "a split line has at least one field");
  for (std::string_view f : fields)
    Require(Within(f, line) || Within(f, scratch), "a field points outside line and scratch");
  // Without quotes the fields are the line cut at each delimiter, nothing dropped or added.
  if (line.find('"') == std::string_view::npos) {
    std::string joined;
    for (std::size_t i = 0; i < fields.size(); ++i)
      joined.append(i == 0 ? "" : std::string(1, delim)).append(fields[i]);
    Require(joined == line, "unquoted fields do not join back to the line");
  }
  for (Side side : kSides) {
    Columns columns;
    const Reason header = ReadHeader(fields, side, &columns);
    RequireUtf8(header, "the header's reason");
    if (!header.empty())
      continue;
    Require(columns.titles.size() <= fields.size(), "more titles than fields");
    for (int f = 0; f < kFieldCount; ++f) {
      Require(columns.index[f] < static_cast<int>(columns.titles.size()),
              "a column index beyond the titles");
    }
    for (int p : columns.passed)
      Require(p >= 0 && p < static_cast<int>(columns.titles.size()), "a passed column beyond");
  }
  if (DropTrailingEmpty(&fields, 1))
    Require(fields.size() == 1, "empty fields left behind");
}

void ReadTable(std::string_view table, char delim, Side side, bool seekable) {
  std::FILE* in = OpenBytes(table, seekable);
  ReaderSettings settings;
  settings.side = side;
  settings.form = InputForm::kCsv;
  settings.delimiter = delim;
  const std::unique_ptr<RecordReader> reader = MakeReader(in, "table.csv", settings);
  const Reason start = reader->Start();
  RequireUtf8(start, "the table's refusal");
  if (start.empty()) {
    const Columns& columns = reader->columns();
    Record record;
    Reason reason;
    std::uint64_t last = reader->line();
    while (reader->Next(&record, &reason)) {
      Require(reader->line() > last, "line numbers do not grow");
      last = reader->line();
      RequireUtf8(reason, "a record's refusal");
      if (!reason.empty())
        continue;
      Require(record.line == reader->line(), "record and reader disagree on the line");
      Require(record.passed.size() == columns.passed.size(), "passed columns lost");
      for (int f = 0; f < kFieldCount; ++f)
        RequireUtf8(record.value[f], "a value handed on");
      for (std::string_view p : record.passed)
        RequireUtf8(p, "a passed-through value");
    }
  }
  std::fclose(in);
}

}  // namespace
}  // namespace zerb::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zerb::fuzz;
  Input input(data, size);
  const unsigned settings = input.Byte();
  const char delim = kDelimiters[settings % std::size(kDelimiters)];
  const zerb::Side side = kSides[(settings / 8) % std::size(kSides)];
  const bool seekable = (settings & 0x80) == 0;
  const std::string_view table = input.rest();
  const std::string_view first_line = table.substr(0, table.find('\n'));
  const char guessed = zerb::DetectDelimiter(first_line);
  Require(guessed == ',' || guessed == '\t' || guessed == ';', "an unexpected delimiter guess");
  SplitOneLine(first_line, delim == 0 ? guessed : delim);
  ReadTable(table, delim, side, seekable);
  return 0;
}
