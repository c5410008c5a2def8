// Fuzzes the CASS .dat reader (name,code,east,north,height, no header) over a file of either side.
// Input: one settings byte (side, encoding, whether the stream is seekable), then the file.
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "readers/record_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zerb;
  using namespace zerb::fuzz;
  Input input(data, size);
  const unsigned settings = input.Byte();
  constexpr Encoding kEncodings[] = {Encoding::kAuto, Encoding::kUtf8, Encoding::kGb18030};
  ReaderSettings rs;
  rs.side = (settings & 1) != 0 ? Side::kWgs84 : Side::kGrid;
  rs.encoding = kEncodings[(settings / 2) % 3];
  // The form follows from the name when not given.
  rs.form = (settings & 0x40) != 0 ? InputForm::kCass : InputForm::kAuto;
  const bool seekable = (settings & 0x80) == 0;
  std::FILE* in = OpenBytes(input.rest(), seekable);
  const std::unique_ptr<RecordReader> reader = MakeReader(in, "points.DAT", rs);
  // A CASS file has no header to refuse: only an empty file, or UTF-16 without its mark.
  const Reason start = reader->Start();
  RequireUtf8(start, "a CASS file's refusal");
  if (!start.empty()) {
    Require(input.rest().empty() || input.rest().find('\0') != std::string_view::npos,
            "a CASS file refused without cause");
    std::fclose(in);
    return 0;
  }
  const Columns& columns = reader->columns();
  Require(columns.titles.size() == 5 && columns.passed.size() == 1, "CASS columns changed");
  Record record;
  Reason reason;
  std::uint64_t last = 0;
  while (reader->Next(&record, &reason)) {
    Require(reader->line() > last, "line numbers do not grow");
    last = reader->line();
    RequireUtf8(reason, "a CASS line's refusal");
    if (!reason.empty())
      continue;
    Require(record.line == reader->line(), "record and reader disagree on the line");
    Require(record.passed.size() == 1, "the code column lost");
    for (int f = 0; f < kFieldCount; ++f)
      RequireUtf8(record.value[f], "a CASS value");
    RequireUtf8(record.passed[0], "a CASS code");
    Require(record.value[kLatitude].empty() && record.value[kMeridian].empty(),
            "a CASS line filled a field it has no column for");
  }
  std::fclose(in);
  return 0;
}
