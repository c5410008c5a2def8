// The choice of reader for a common-point file; see record_reader.h.
#include "readers/record_reader.h"

#include "readers/split_lines.h"
#include "text/translate.h"

namespace zerb {
namespace {

bool EndsWithDat(std::string_view name) {
  if (name.size() < 4)
    return false;
  std::string tail(name.substr(name.size() - 4));
  for (char& c : tail)
    c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
  return tail == ".dat";
}

}  // namespace

Reason ParseInputForm(std::string_view text, InputForm* form) {
  if (text == "auto") {
    *form = InputForm::kAuto;
  } else if (text == "csv") {
    *form = InputForm::kCsv;
  } else if (text == "cass") {
    *form = InputForm::kCass;
  } else {
    return Fill(Tr("unknown input format {1} (auto, csv or cass)"), Quoted(text));
  }
  return {};
}

std::unique_ptr<RecordReader> MakeReader(std::FILE* in, std::string_view name,
                                         const ReaderSettings& settings) {
  const bool cass =
      settings.form == InputForm::kCass || (settings.form == InputForm::kAuto && EndsWithDat(name));
  if (cass)
    return MakeCassReader(in, settings);
  return MakeCsvTableReader(in, settings);
}

}  // namespace zerb
