// The command line of zerb-shift: one point from options, or a CSV table from a file or standard
// input, the output format and the residual rule.
#ifndef ZERB_CLI_OPTIONS_H
#define ZERB_CLI_OPTIONS_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/csv.h"
#include "cli/statistics.h"

namespace zerb {

enum class Format { kText, kCsv, kJson, kTowgs84, kProj, kWkt };

// Exit statuses, also documented in the help text.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;  // some lines refused, the rest computed
inline constexpr int kExitUsage = 2;    // bad command line or unreadable input
inline constexpr int kExitNoPoint = 3;  // no usable point, nothing computed

struct Options {
  bool help = false;
  bool version = false;
  Format format = Format::kText;
  ResidualRule rule;
  char delimiter = ',';
  std::string input;  // file name; empty or "-" for standard input
  // One point typed as options, in the order of Column; set when any of them was given.
  bool single = false;
  std::optional<std::string> value[kColumnCount];
};

// Reads args (without the program name). Returns an empty string or what is wrong.
std::string ParseOptions(const std::vector<std::string_view>& args, Options* options);

std::string_view HelpText();

}  // namespace zerb

#endif  // ZERB_CLI_OPTIONS_H
