// The command line of zerb-convert, read with glibc's getopt_long: the definition, the input,
// the direction and the forms of what is read and written.
#ifndef ZERB_CONVERT_COMMAND_LINE_H
#define ZERB_CONVERT_COMMAND_LINE_H

#include <string>
#include <string_view>
#include <vector>

#include "readers/angle.h"
#include "readers/encoding.h"
#include "readers/record_reader.h"
#include "text/text.h"
#include "writers/converted_table.h"

namespace zerb {

struct ConvertOptions {
  bool help = false;
  bool version = false;
  std::string definition;
  std::string input;   // empty or "-": standard input
  std::string output;  // empty or "-": standard output
  bool inverse = false;
  bool round_trip = false;
  AngleFormat angles = AngleFormat::kAuto;
  Encoding encoding = Encoding::kAuto;
  InputForm input_form = InputForm::kAuto;
  OutputForm output_form = OutputForm::kCsv;
  OutputEncoding output_encoding = OutputEncoding::kUtf8;
  char delimiter = 0;  // 0: detected
};

// Reads args (without the program name).
Reason ParseConvertOptions(const std::vector<std::string_view>& args, ConvertOptions* options);

std::string ConvertHelpText();

}  // namespace zerb

#endif  // ZERB_CONVERT_COMMAND_LINE_H
