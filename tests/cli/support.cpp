#include "tests/cli/support.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <regex>

#include "cli/run.h"

namespace zerb::test {

RunResult RunZerbShift(const std::vector<std::string_view>& args, const std::string& input) {
  // fmemopen may refuse a zero size: an empty input is one byte already read.
  std::string data = input.empty() ? std::string(1, '\0') : input;
  std::FILE* in = fmemopen(data.data(), data.size(), "r");
  if (input.empty())
    std::fgetc(in);
  char* out_data = nullptr;
  char* err_data = nullptr;
  std::size_t out_size = 0;
  std::size_t err_size = 0;
  std::FILE* out = open_memstream(&out_data, &out_size);
  std::FILE* err = open_memstream(&err_data, &err_size);
  RunResult r;
  r.status = RunShift(args, in, out, err);
  std::fclose(in);
  std::fclose(out);
  std::fclose(err);
  r.out.assign(out_data, out_size);
  r.err.assign(err_data, err_size);
  std::free(out_data);
  std::free(err_data);
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

// Strings and scalars become tokens, and the innermost arrays and objects are reduced to a value
// until one value is left or none fits.
bool IsJson(const std::string& text) {
  std::string t =
      std::regex_replace(text, std::regex(R"("([^"\\\x00-\x1f]|\\["\\/bfnrtu])*")"), "S");
  t = std::regex_replace(t, std::regex(R"(-?(0|[1-9]\d*)(\.\d+)?([eE][+-]?\d+)?|true|false|null)"),
                         "V");
  t = std::regex_replace(std::regex_replace(t, std::regex(R"(\s+)"), ""), std::regex("S(?!:)"),
                         "V");
  const std::regex innermost(R"(\[(V(,V)*)?\]|\{(S:V(,S:V)*)?\})");
  for (std::string before; before != t;) {
    before = t;
    t = std::regex_replace(t, innermost, "V");
  }
  return t == "V";
}

}  // namespace zerb::test
