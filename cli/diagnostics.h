// Everything zerb-shift says on standard error: refused lines with their file and line, warnings
// about points, and failures. Messages are one line each, in English, valid UTF-8.
#ifndef ZERB_CLI_DIAGNOSTICS_H
#define ZERB_CLI_DIAGNOSTICS_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "cli/text.h"

namespace zerb {

class Diagnostics {
 public:
  explicit Diagnostics(std::FILE* err) : err_(err) {}

  // "zerb-shift: message".
  void Say(std::string_view message);
  // "zerb-shift: source, line N: reason", and the line counts as refused.
  void Refused(std::string_view source, std::uint64_t line, std::string_view reason);
  // "zerb-shift: source, line N: warning: message".
  void Warn(std::string_view source, std::uint64_t line, std::string_view message);

  std::uint64_t refused() const { return refused_; }

 private:
  std::FILE* err_;
  std::uint64_t refused_ = 0;
};

}  // namespace zerb

#endif  // ZERB_CLI_DIAGNOSTICS_H
