// Runs one of the PROJ programs as a user would, without a shell between: the arguments reach
// it exactly as given, however many spaces, brackets and quotes a definition holds.
#ifndef ZERB_TESTS_CRS_RUN_PROGRAM_H
#define ZERB_TESTS_CRS_RUN_PROGRAM_H

#include <string>
#include <vector>

namespace crs_test {

struct ProgramResult {
  int exit_code;       // -1 if the program could not be started or did not exit normally
  std::string output;  // what it wrote to standard output
};

// program is a path; arguments follow argv[0]; input is written to its standard input.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input);

}  // namespace crs_test

#endif  // ZERB_TESTS_CRS_RUN_PROGRAM_H
