// The window's sink for what the library says while reading: every message kept, in order, for
// the message panel and for the HTML report's list of what was said about the input.
#ifndef ZERB_FIT_COLLECTED_DIAGNOSTICS_H
#define ZERB_FIT_COLLECTED_DIAGNOSTICS_H

#include <string>
#include <vector>

#include "text/diagnostics.h"

namespace zerb::fit {

class CollectedDiagnostics : public Diagnostics {
 public:
  const std::vector<KeepingDiagnostics::Kept>& kept() const { return kept_; }
  // Each message as one line, worded as zerb-shift words it on standard error, without the
  // program's name in front.
  std::vector<std::string> Lines() const;

 protected:
  void Emit(Kind kind, std::string_view source, std::uint64_t line, std::string_view text) override;

 private:
  std::vector<KeepingDiagnostics::Kept> kept_;
};

}  // namespace zerb::fit

#endif  // ZERB_FIT_COLLECTED_DIAGNOSTICS_H
