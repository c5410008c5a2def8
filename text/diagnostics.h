// Where the library says what it refused and warned about while reading: each front end gives
// its own sink (zerb-shift writes lines to standard error; a window may list them). The library
// never prints; it hands every message here with the file and line it came from.
#ifndef ZERB_TEXT_DIAGNOSTICS_H
#define ZERB_TEXT_DIAGNOSTICS_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "text/text.h"

namespace zerb {

class Diagnostics {
 public:
  enum class Kind { kMessage, kRefused, kWarning };

  virtual ~Diagnostics() = default;

  // A message about the input as a whole (a file that cannot be opened, a pair not found).
  void Say(std::string_view message) { Emit(Kind::kMessage, {}, 0, message); }
  // A line refused, with its reason; it counts as refused.
  void Refused(std::string_view source, std::uint64_t line, std::string_view reason) {
    ++refused_;
    Emit(Kind::kRefused, source, line, reason);
  }
  // A warning about the point of a line (line 0: a point typed as options).
  void Warn(std::string_view source, std::uint64_t line, std::string_view message) {
    Emit(Kind::kWarning, source, line, message);
  }

  std::uint64_t refused() const { return refused_; }

 protected:
  virtual void Emit(Kind kind, std::string_view source, std::uint64_t line,
                    std::string_view text) = 0;

 private:
  std::uint64_t refused_ = 0;
};

// Messages as lines on a stream: "zerb-shift: source, line N: reason", one line each, in the
// language of the messages, valid UTF-8.
class StreamDiagnostics : public Diagnostics {
 public:
  StreamDiagnostics(std::FILE* err, std::string_view program) : err_(err), program_(program) {}

 protected:
  void Emit(Kind kind, std::string_view source, std::uint64_t line, std::string_view text) override;

 private:
  std::FILE* err_;
  std::string program_;
};

}  // namespace zerb

#endif  // ZERB_TEXT_DIAGNOSTICS_H
