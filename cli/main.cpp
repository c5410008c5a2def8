// zerb-shift: shift parameters from common points, on the command line. See run.h.
#include <cstdio>
#include <string_view>
#include <vector>

#include "cli/run.h"
#include "text/translate.h"

int main(int argc, char** argv) {
  // Messages in the user's language; the tests that run the driver in their own process never
  // get here, so they see the English texts.
  zerb::UseLanguageOfEnvironment(ZERB_LOCALEDIR);
  std::vector<std::string_view> args(argv + 1, argv + argc);
  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  return zerb::RunShift(args, stdin, stdout, stderr);
}
