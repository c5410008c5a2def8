// Runs zerb-shift in the test process: the input comes from a string, the output and the
// messages go to strings.
#ifndef ZERB_TESTS_CLI_RUN_HELPER_H
#define ZERB_TESTS_CLI_RUN_HELPER_H

#include <string>
#include <string_view>
#include <vector>

namespace zerb::test {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

RunResult RunZerbShift(const std::vector<std::string_view>& args, const std::string& input = "");

}  // namespace zerb::test

#endif  // ZERB_TESTS_CLI_RUN_HELPER_H
