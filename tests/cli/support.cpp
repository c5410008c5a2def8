#include "tests/cli/support.h"

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

namespace {

// The value at s[i] and after it, by recursive descent; i is left after the value.
bool JsonValue(const std::string& s, std::size_t& i) {
  const auto next = [&] {  // the next character after blanks, '\0' at the end
    i = std::min(s.find_first_not_of(" \t\r\n", i), s.size());
    return i < s.size() ? s[i] : '\0';
  };
  const auto take = [&](char c) { return next() == c && ++i != 0; };
  const auto quoted = [&] {
    if (!take('"'))
      return false;
    for (; i < s.size() && s[i] != '"'; ++i) {
      if (static_cast<unsigned char>(s[i]) < 0x20)
        return false;
      i += s[i] == '\\';  // the escaped character is skipped
    }
    return take('"');
  };
  const char open = next();
  if (open == '{' || open == '[') {
    const char close = open == '{' ? '}' : ']';
    if (take(open) && take(close))
      return true;
    do {
      if ((open == '{' && !(quoted() && take(':'))) || !JsonValue(s, i))
        return false;
    } while (take(','));
    return take(close);
  }
  if (open == '"')
    return quoted();
  for (std::string_view word : {"true", "false", "null"}) {
    if (s.compare(i, word.size(), word) == 0)
      return (i += word.size()) != 0;
  }
  double v = 0;
  const auto [end, ec] = std::from_chars(s.data() + i, s.data() + s.size(), v);
  i = static_cast<std::size_t>(end - s.data());
  return ec == std::errc() && std::isfinite(v);
}

}  // namespace

bool IsJson(const std::string& text) {
  std::size_t i = 0;
  return JsonValue(text, i) && text.find_first_not_of(" \t\r\n", i) == std::string::npos;
}

}  // namespace zerb::test
