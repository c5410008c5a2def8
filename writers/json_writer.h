// RapidJSON's streaming writer with the report's forms of numbers and text, shared by the JSON
// reports of every model.
#ifndef ZERB_WRITERS_JSON_WRITER_H
#define ZERB_WRITERS_JSON_WRITER_H

#include <rapidjson/writer.h>

#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include "crs/projection.h"
#include "writers/json_stream.h"
#include "writers/output.h"

namespace zerb {

using BaseWriter =
    rapidjson::Writer<JsonStream, rapidjson::UTF8<>, rapidjson::UTF8<>, rapidjson::CrtAllocator,
                      rapidjson::kWriteValidateEncodingFlag>;

// The writer with the report's forms. Numbers keep the text the other formats print (RapidJSON's
// own Double() writes 3 as 3.0 and is not always shortest); a string that is not UTF-8 is refused
// and remembered, for the readers should have made every text UTF-8 already. Keys and numbers go
// to the buffer in one piece: RapidJSON's writer puts its text a character at a time, which took
// half as long again as the whole run of a million points.
class JsonWriter : public BaseWriter {
 public:
  explicit JsonWriter(JsonStream& stream) : BaseWriter(stream) {}

  // A key of the report's own, plain ASCII, so without escaping or validation.
  void Key(std::string_view name) {
    Prefix(rapidjson::kStringType);
    os_->Put('"');
    os_->Write(name);
    os_->Put('"');
  }
  // The shortest text that reads back as the same double.
  void Number(double value) { Form(value, AppendShortest); }
  // The number with 4 decimals.
  void Decimals4(double value) { Form(value, AppendFixed); }
  // The shortest text in fixed notation that reads back as the same double: lengths as people
  // write them, 500000 rather than 5e+05.
  void Decimal(double value) {
    Form(value, [](std::string* s, double v) { *s += crs::Shortest(v); });
  }
  void Text(std::string_view text) {
    if (text.size() > std::numeric_limits<rapidjson::SizeType>::max() ||
        !String(text.data(), static_cast<rapidjson::SizeType>(text.size())))
      refused_ = true;
  }
  bool refused() const { return refused_; }

 private:
  // The number in the form append makes; null where it is not finite, as JSON has no NaN nor
  // infinity.
  void Form(double value, void (*append)(std::string*, double)) {
    if (!std::isfinite(value)) {
      Null();
      return;
    }
    number_.clear();
    append(&number_, value);
    Prefix(rapidjson::kNumberType);
    os_->Write(number_);
  }

  std::string number_;
  bool refused_ = false;
};

}  // namespace zerb

#endif  // ZERB_WRITERS_JSON_WRITER_H
