#include "fit/collected_diagnostics.h"

#include "text/translate.h"

namespace zerb::fit {

void CollectedDiagnostics::Emit(Kind kind, std::string_view source, std::uint64_t line,
                                std::string_view text) {
  kept_.push_back({kind, std::string(source), line, std::string(text)});
}

std::vector<std::string> CollectedDiagnostics::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(kept_.size());
  for (const KeepingDiagnostics::Kept& k : kept_) {
    if (k.kind == Kind::kRefused)
      lines.push_back(Fill(Tr("{1}, line {2}: {3}"), k.source, k.line, k.text));
    else if (k.kind == Kind::kWarning && k.line != 0)
      lines.push_back(Fill(Tr("{1}, line {2}: warning: {3}"), k.source, k.line, k.text));
    else if (k.kind == Kind::kWarning)
      lines.push_back(Fill(Tr("warning: {1}"), k.text));
    else
      lines.push_back(k.text);
  }
  return lines;
}

}  // namespace zerb::fit
