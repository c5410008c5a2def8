// Messages as lines on a stream; see diagnostics.h.
#include "text/diagnostics.h"

namespace zerb {

void StreamDiagnostics::Emit(Kind kind, std::string_view source, std::uint64_t line,
                             std::string_view text) {
  std::string out = program_ + ": ";
  if (kind == Kind::kRefused || (kind == Kind::kWarning && line != 0))
    out.append(source).append(", line ").append(std::to_string(line)).append(": ");
  if (kind == Kind::kWarning)
    out += "warning: ";
  out.append(text) += '\n';
  std::fwrite(out.data(), 1, out.size(), err_);
}

}  // namespace zerb
