// Fuzzes zerb-shift as a whole, through RunShift: a table on standard input, a grid and a WGS-84
// file, or a command line of its own. Whatever the input, the program must end with one of its
// exit statuses, write valid UTF-8 to both streams, and a JSON report must be JSON.
// Input: one settings byte (mode, format, options), then by mode: the table; the WGS-84 file, a
// NUL byte and the grid file; or the arguments one per line.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/exit_status.h"
#include "cli/run.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/json_check.h"

namespace zerb::fuzz {
namespace {

// Arguments that could name a file to read (an operand, --grid, --wgs84) are not run: the fuzzer
// must not wander into /dev or the file system. Values are therefore given as --option=value.
bool SafeArguments(const std::vector<std::string_view>& args) {
  for (std::string_view a : args) {
    if (!a.starts_with('-') || a == "--" || a.starts_with("--g") || a.starts_with("--w"))
      return false;
  }
  return true;
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t nl = text.find('\n');
    lines.push_back(text.substr(0, nl));
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
  }
  return lines;
}

}  // namespace
}  // namespace zerb::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zerb;
  using namespace zerb::fuzz;
  Input input(data, size);
  const unsigned settings = input.Byte();
  constexpr std::string_view kFormats[] = {"json", "csv", "text", "json"};
  const std::string_view format = kFormats[settings % 4];
  const unsigned mode = (settings / 4) % 4;  // 0, 1: table; 2: two files; 3: command line

  std::vector<std::string_view> args = {"--format", format};
  if ((settings & 16) != 0)
    args.push_back("--keep-all");
  if ((settings & 32) != 0)
    args.insert(args.end(), {"--max-residual", "0.05"});
  if ((settings & 64) != 0)
    args.insert(args.end(), {"--encoding", "gb18030"});
  std::string_view stdin_text;
  std::string grid_path;
  std::string wgs84_path;
  if (mode <= 1) {
    if (mode == 1)
      args.insert(args.end(), {"--delimiter", ";"});
    stdin_text = input.rest();
  } else if (mode == 2) {
    wgs84_path = WriteTempFile("wgs84.csv", input.Until('\0'));
    grid_path = WriteTempFile((settings & 128) != 0 ? "grid.dat" : "grid.csv", input.rest());
    args.insert(args.end(), {"--grid", grid_path, "--wgs84", wgs84_path});
  } else {
    args = Lines(input.rest());
    if (!SafeArguments(args))
      return -1;  // not added to the corpus
  }

  std::FILE* in = OpenBytes(stdin_text, (settings & 128) == 0);
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  Require(out != nullptr && err != nullptr, "cannot make a temporary file");
  const int status = RunShift(args, in, out, err);
  const std::string out_text = ReadBack(out);
  const std::string err_text = ReadBack(err);
  RequireUtf8(out_text, "standard output");
  RequireUtf8(err_text, "standard error");
  Require(status == kExitOk || status == kExitRefused || status == kExitUsage ||
              status == kExitNoPoint || status == kExitImplausible,
          "an exit status the help does not list");
  // An implausible fit is reported too, with the reasons where its +towgs84 would be.
  const bool json = mode != 3 && format == "json";
  if (json && (status == kExitOk || status == kExitRefused || status == kExitImplausible))
    Require(IsStrictJson(out_text), "the JSON report is not JSON");
  if (status == kExitUsage || status == kExitNoPoint)
    Require(!err_text.empty(), "a failure without a message");
  std::fclose(in);
  std::fclose(out);
  std::fclose(err);
  return 0;
}
