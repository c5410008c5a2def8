// zerb-convert's command line; see command_line.h.
#include "convert/command_line.h"

#include <getopt.h>

#include <string>

#include "text/translate.h"

namespace zerb {
namespace {

enum OptionCode {
  kOptHelp = 256,
  kOptVersion,
  kOptInverse,
  kOptRoundTrip,
  kOptAngleFormat,
  kOptEncoding,
  kOptInputForm,
  kOptOutputForm,
  kOptOutputEncoding,
};

Reason SetDelimiter(std::string_view value, char* delimiter) {
  if (value == "tab" || value == "\t") {
    *delimiter = '\t';
  } else if (value.size() == 1 && value != "\"" && value != " " && value != "\n") {
    *delimiter = value[0];
  } else {
    return Tr("the delimiter must be one character other than a quote or a blank, or \"tab\"");
  }
  return {};
}

Reason Apply(int code, std::string_view value, ConvertOptions* o) {
  switch (code) {
    case kOptHelp:
      o->help = true;
      return {};
    case kOptVersion:
      o->version = true;
      return {};
    case kOptInverse:
      o->settings.inverse = true;
      return {};
    case kOptRoundTrip:
      o->settings.round_trip = true;
      return {};
    case kOptAngleFormat:
      return ParseAngleFormat(value, &o->settings.angles);
    case kOptEncoding:
      return ParseEncoding(value, &o->settings.encoding);
    case kOptInputForm:
      return ParseInputForm(value, &o->settings.input_form);
    case kOptOutputForm:
      return ParseOutputForm(value, &o->settings.output_form);
    case kOptOutputEncoding:
      return ParseOutputEncoding(value, &o->settings.output_encoding);
    case 'o':
      o->output = value;
      return value.empty() ? Tr("-o needs a file name") : "";
    case 'd':
      return SetDelimiter(value, &o->settings.delimiter);
    default:
      return Tr("unknown option");
  }
}

}  // namespace

Reason ParseConvertOptions(const std::vector<std::string_view>& args, ConvertOptions* o) {
  *o = ConvertOptions();
  std::vector<std::string> storage = {"zerb-convert"};
  for (std::string_view a : args)
    storage.emplace_back(a);
  std::vector<char*> argv;
  for (std::string& s : storage)
    argv.push_back(s.data());
  argv.push_back(nullptr);
  const option options[] = {
      {"inverse", no_argument, nullptr, kOptInverse},
      {"round-trip", no_argument, nullptr, kOptRoundTrip},
      {"angle-format", required_argument, nullptr, kOptAngleFormat},
      {"encoding", required_argument, nullptr, kOptEncoding},
      {"input-form", required_argument, nullptr, kOptInputForm},
      {"output-form", required_argument, nullptr, kOptOutputForm},
      {"output-encoding", required_argument, nullptr, kOptOutputEncoding},
      {"output", required_argument, nullptr, 'o'},
      {"delimiter", required_argument, nullptr, 'd'},
      {"help", no_argument, nullptr, kOptHelp},
      {"version", no_argument, nullptr, kOptVersion},
      {nullptr, 0, nullptr, 0},
  };
  // getopt_long keeps its state in globals: start afresh (the tests parse many command lines).
  optind = 0;
  opterr = 0;
  const int argc = static_cast<int>(argv.size()) - 1;
  while (true) {
    const int before = optind == 0 ? 1 : optind;
    const int code = getopt_long(argc, argv.data(), ":o:d:", options, nullptr);
    if (code == -1)
      break;
    if (code == '?' || code == ':') {
      const int at = optind > before ? optind - 1 : before;
      const std::string word = at < argc ? argv[at] : "";
      // TRANSLATORS: {1} is the option as typed.
      return Fill(code == ':' ? Tr("option {1} needs a value") : Tr("unknown option {1}"),
                  Quoted(word));
    }
    const std::string_view value = optarg != nullptr ? optarg : "";
    if (Reason r = Apply(code, value, o); !r.empty())
      return r;
  }
  if (o->help || o->version)
    return {};
  std::vector<std::string_view> operands;
  for (int i = optind; i < argc; ++i)
    operands.emplace_back(argv[i]);
  if (operands.empty())
    return Tr("no definition given: zerb-convert DEFINITION [FILE]");
  if (operands.size() > 2)
    return Tr("too many files: zerb-convert DEFINITION [FILE]");
  o->definition = operands[0];
  if (operands.size() == 2)
    o->input = operands[1];
  if (o->settings.output_form == OutputForm::kCass && !o->settings.inverse)
    return Tr(
        "--output-form cass writes grid coordinates: it goes with --inverse (GNSS points to the "
        "grid)");
  return {};
}

}  // namespace zerb
