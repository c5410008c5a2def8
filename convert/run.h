// zerb-convert as a function: reads the command line, the definition and the input, writes the
// converted table to out (or -o FILE) and every refusal, warning and the summary to err, and
// returns the exit status. main only forwards to it, so the tests run it in their own process.
#ifndef ZERB_CONVERT_RUN_H
#define ZERB_CONVERT_RUN_H

#include <cstdio>
#include <string_view>
#include <vector>

namespace zerb {

inline constexpr int kConvertOk = 0;
inline constexpr int kConvertRefused = 1;
inline constexpr int kConvertUsage = 2;
inline constexpr int kConvertNoPoint = 3;

int RunConvert(const std::vector<std::string_view>& args, std::FILE* in, std::FILE* out,
               std::FILE* err);

}  // namespace zerb

#endif  // ZERB_CONVERT_RUN_H
