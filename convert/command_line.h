// The command line of zerb-convert, read with glibc's getopt_long: the definition, the input,
// the direction and the forms of what is read and written.
#ifndef ZERB_CONVERT_COMMAND_LINE_H
#define ZERB_CONVERT_COMMAND_LINE_H

#include <string>
#include <string_view>
#include <vector>

#include "text/text.h"
#include "writers/convert_points.h"

namespace zerb {

struct ConvertOptions {
  bool help = false;
  bool version = false;
  std::string definition;
  std::string input;   // empty or "-": standard input
  std::string output;  // empty or "-": standard output
  // --inverse, --round-trip, the forms, encodings and delimiter; its area comes from the
  // definition's .area file, not from the command line.
  ConvertSettings settings;
};

// Reads args (without the program name).
Reason ParseConvertOptions(const std::vector<std::string_view>& args, ConvertOptions* options);

std::string ConvertHelpText();

}  // namespace zerb

#endif  // ZERB_CONVERT_COMMAND_LINE_H
