// Messages on standard error; see diagnostics.h.
#include "cli/diagnostics.h"

namespace zerb {

void Diagnostics::Say(std::string_view message) {
  std::fprintf(err_, "zerb-shift: %.*s\n", static_cast<int>(message.size()), message.data());
}

void Diagnostics::Refused(std::string_view source, std::uint64_t line, std::string_view reason) {
  ++refused_;
  std::fprintf(err_, "zerb-shift: %.*s, line %llu: %.*s\n", static_cast<int>(source.size()),
               source.data(), static_cast<unsigned long long>(line),
               static_cast<int>(reason.size()), reason.data());
}

void Diagnostics::Warn(std::string_view source, std::uint64_t line, std::string_view message) {
  if (line == 0) {  // a point typed as options has no line
    std::fprintf(err_, "zerb-shift: warning: %.*s\n", static_cast<int>(message.size()),
                 message.data());
    return;
  }
  std::fprintf(err_, "zerb-shift: %.*s, line %llu: warning: %.*s\n",
               static_cast<int>(source.size()), source.data(),
               static_cast<unsigned long long>(line), static_cast<int>(message.size()),
               message.data());
}

}  // namespace zerb
