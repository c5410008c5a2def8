// zerb-convert: points through a definition zerb-shift wrote. See run.h.
#include <cstdio>
#include <string_view>
#include <vector>

#include "convert/run.h"
#include "text/translate.h"

int main(int argc, char** argv) {
  zerb::UseLanguageOfEnvironment(ZERB_LOCALEDIR);
  std::vector<std::string_view> args(argv + 1, argv + argc);
  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  return zerb::RunConvert(args, stdin, stdout, stderr);
}
