// Shared by the zerb-shift tests: the program run in the test process and its CSV report read
// back.
#ifndef ZERB_TESTS_CLI_SUPPORT_H
#define ZERB_TESTS_CLI_SUPPORT_H

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

// Whether text is one JSON value, nested as JSON demands (no extension accepted).
bool IsJson(const std::string& text);

// For comparisons that are exact by construction: the same double, bit for bit.
inline std::uint64_t Bits(double v) {
  return std::bit_cast<std::uint64_t>(v);
}

}  // namespace zerb::test

#endif  // ZERB_TESTS_CLI_SUPPORT_H
