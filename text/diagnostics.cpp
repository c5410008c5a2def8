// Messages as lines on a stream; see diagnostics.h.
#include "text/diagnostics.h"

namespace zerb {

void StreamDiagnostics::Emit(Kind kind, std::string_view source, std::uint64_t line,
                             std::string_view text) {
  std::string out = program_ + ": ";
  if (kind == Kind::kRefused) {
    // TRANSLATORS: {1} is a file name (or "<stdin>"), {2} a line number, {3} the reason.
    out += Fill(Tr("{1}, line {2}: {3}"), source, line, text);
  } else if (kind == Kind::kWarning && line != 0) {
    // TRANSLATORS: {1} is a file name, {2} a line number, {3} what the warning is about.
    out += Fill(Tr("{1}, line {2}: warning: {3}"), source, line, text);
  } else if (kind == Kind::kWarning) {
    out += Fill(Tr("warning: {1}"), text);
  } else {
    out.append(text);
  }
  out += '\n';
  std::fwrite(out.data(), 1, out.size(), err_);
}

}  // namespace zerb
