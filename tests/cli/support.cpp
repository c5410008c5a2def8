#include "tests/cli/support.h"

#include <rapidjson/memorystream.h>
#include <rapidjson/pointer.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "cli/run.h"

namespace zerb::test {

RunResult RunZerbShift(const std::vector<std::string_view>& args, const std::string& input) {
  std::FILE* in = std::tmpfile();
  std::fwrite(input.data(), 1, input.size(), in);
  std::rewind(in);
  const RunResult r = RunZerbShiftOn(args, in);
  std::fclose(in);
  return r;
}

RunResult RunZerbShiftOn(const std::vector<std::string_view>& args, std::FILE* in) {
  std::FILE* files[2] = {std::tmpfile(), std::tmpfile()};  // out, err
  RunResult r;
  r.status = RunShift(args, in, files[0], files[1]);
  std::string* const texts[2] = {&r.out, &r.err};
  for (int i = 0; i < 2; ++i) {
    std::rewind(files[i]);
    for (int c; (c = std::fgetc(files[i])) != EOF;)
      *texts[i] += static_cast<char>(c);
    std::fclose(files[i]);
  }
  return r;
}

std::vector<std::vector<std::string>> Rows(const std::string& csv) {
  std::vector<std::vector<std::string>> rows;
  for (std::size_t start = 0; start < csv.size();) {
    const std::size_t end = std::min(csv.find('\n', start), csv.size());
    rows.emplace_back();
    for (std::size_t f = start; f <= end;) {
      const std::size_t comma = std::min(csv.find(',', f), end);
      rows.back().push_back(csv.substr(f, comma - f));
      f = comma + 1;
    }
    start = end + 1;
  }
  return rows;
}

double Number(const std::string& text) {
  double v = NAN;
  std::from_chars(text.data(), text.data() + text.size(), v);
  return v;
}

bool ParseJson(const std::string& text, rapidjson::Document* document) {
  // A memory stream, not Parse(text, length): that one passes over a byte order mark and takes a
  // NUL byte for the end of the text. Full precision: the default reading of a number is off by
  // a unit in the last place for about one double in five.
  rapidjson::MemoryStream in(text.data(), text.size());
  constexpr unsigned kFlags = rapidjson::kParseValidateEncodingFlag |
                              rapidjson::kParseFullPrecisionFlag |
                              rapidjson::kParseStopWhenDoneFlag;
  document->ParseStream<kFlags, rapidjson::UTF8<>>(in);
  return !document->HasParseError() &&
         text.find_first_not_of(" \t\n\r", in.Tell()) == std::string::npos;
}

bool IsJson(const std::string& text) {
  rapidjson::Document document;
  return ParseJson(text, &document);
}

const rapidjson::Value& At(const rapidjson::Value& json, const std::string& pointer) {
  static const rapidjson::Value kNone;
  const rapidjson::Pointer p(pointer.data(), pointer.size());
  const rapidjson::Value* v = p.IsValid() ? p.Get(json) : nullptr;
  return v != nullptr ? *v : kNone;
}

double NumberAt(const rapidjson::Value& json, const std::string& pointer) {
  const rapidjson::Value& v = At(json, pointer);
  return v.IsNumber() ? v.GetDouble() : NAN;
}

std::string TextAt(const rapidjson::Value& json, const std::string& pointer) {
  const rapidjson::Value& v = At(json, pointer);
  return v.IsString() ? std::string(v.GetString(), v.GetStringLength()) : "(no text)";
}

}  // namespace zerb::test
