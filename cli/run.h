// zerb-shift as a function: reads the command line and the input, writes the report to out and
// every refusal to err, and returns the exit status. The program's main only forwards to it,
// which lets the tests run it without starting a process.
#ifndef ZERB_CLI_RUN_H
#define ZERB_CLI_RUN_H

#include <cstdio>
#include <string_view>
#include <vector>

namespace zerb {

// args without the program name; in is read when no input file is named.
int RunShift(const std::vector<std::string_view>& args, std::FILE* in, std::FILE* out,
             std::FILE* err);

}  // namespace zerb

#endif  // ZERB_CLI_RUN_H
