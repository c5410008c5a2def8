// The reader of a CASS .dat file: name,code,east,north,height per line, no header.
#include "readers/split_lines.h"

#include "text/translate.h"

namespace zerb {
namespace {

class CassReader final : public SplitRecordReader {
 public:
  CassReader(std::FILE* in, const ReaderSettings& s) : SplitRecordReader(in, s) {
    columns_ = CassColumns(s.side);
  }

  Reason Start() override {
    // Looked up once: Next runs for every line.
    // TRANSLATORS: {1} is the number of fields the line has.
    short_line_ = Tr("{1} fields where a CASS .dat line has 5: name,code,east,north,height");
    return lines_.Start(pipe_);
  }

  bool Next(Record* record, Reason* reason) override {
    return lines_.NextRecord(',', columns_, 5, short_line_, record, reason);
  }

 private:
  const char* short_line_ = "";  // the pattern of a line with too few fields
};

}  // namespace

std::unique_ptr<RecordReader> MakeCassReader(std::FILE* in, const ReaderSettings& settings) {
  return std::make_unique<CassReader>(in, settings);
}

}  // namespace zerb
