#include "tests/cli/support.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <regex>

#include "cli/run.h"

namespace zerb::test {

RunResult RunZerbShift(const std::vector<std::string_view>& args, const std::string& input) {
  std::FILE* files[3] = {std::tmpfile(), std::tmpfile(), std::tmpfile()};  // in, out, err
  std::fwrite(input.data(), 1, input.size(), files[0]);
  std::rewind(files[0]);
  RunResult r;
  r.status = RunShift(args, files[0], files[1], files[2]);
  std::string* const texts[3] = {nullptr, &r.out, &r.err};
  for (int i = 0; i < 3; ++i) {
    std::rewind(files[i]);
    for (int c; texts[i] != nullptr && (c = std::fgetc(files[i])) != EOF;)
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
