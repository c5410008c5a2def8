// Shared by the zerb-shift tests: the program run in the test process and its CSV and JSON
// reports read back.
#ifndef ZERB_TESTS_CLI_SUPPORT_H
#define ZERB_TESTS_CLI_SUPPORT_H

#include <rapidjson/document.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace zerb::test {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs zerb-shift with args on input given as a string; its output and messages become strings.
RunResult RunZerbShift(const std::vector<std::string_view>& args, const std::string& input = "");
// The same with standard input the stream in (a pipe, a stream that fails), left open.
RunResult RunZerbShiftOn(const std::vector<std::string_view>& args, std::FILE* in);

// The rows of a CSV report split at commas (the reports read back here quote nothing).
std::vector<std::vector<std::string>> Rows(const std::string& csv);
// A number as printed; NaN when the text is none.
double Number(const std::string& text);

// Parses text as the one JSON value of RFC 8259 (no extension accepted, every string well-formed
// UTF-8, nothing after the value but blanks) into *document, every number read back to the
// double it was written from; false when it is none.
bool ParseJson(const std::string& text, rapidjson::Document* document);
bool IsJson(const std::string& text);
// The value at a JSON Pointer (RFC 6901: "/points/0/dx") in json, a null where there is none.
const rapidjson::Value& At(const rapidjson::Value& json, const std::string& pointer);
// The number there, NaN where there is none; the string there, "(no text)" where there is none.
double NumberAt(const rapidjson::Value& json, const std::string& pointer);
std::string TextAt(const rapidjson::Value& json, const std::string& pointer);

// For comparisons that are exact by construction: the same double, bit for bit.
inline std::uint64_t Bits(double v) {
  return std::bit_cast<std::uint64_t>(v);
}

}  // namespace zerb::test

#endif  // ZERB_TESTS_CLI_SUPPORT_H
