// Where the library says what it refused and warned about while reading: each front end gives
// its own sink (zerb-shift writes lines to standard error; a window may list them). The library
// never prints; it hands every message here with the file and line it came from.
#ifndef ZERB_TEXT_DIAGNOSTICS_H
#define ZERB_TEXT_DIAGNOSTICS_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

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

// Messages on a stream, the first kMaxKept of them also kept, in order, for a report that lists
// them (the HTML report's refused lines and warnings).
class KeepingDiagnostics : public StreamDiagnostics {
 public:
  static constexpr std::size_t kMaxKept = 1000;
  struct Kept {
    Kind kind;
    std::string source;
    std::uint64_t line;
    std::string text;
  };
  using StreamDiagnostics::StreamDiagnostics;
  const std::vector<Kept>& kept() const { return kept_; }
  // How many were said beyond those kept.
  std::uint64_t not_kept() const { return not_kept_; }

 protected:
  void Emit(Kind kind, std::string_view source, std::uint64_t line,
            std::string_view text) override {
    StreamDiagnostics::Emit(kind, source, line, text);
    if (kept_.size() < kMaxKept)
      kept_.push_back({kind, std::string(source), line, std::string(text)});
    else
      ++not_kept_;
  }

 private:
  std::vector<Kept> kept_;
  std::uint64_t not_kept_ = 0;
};

}  // namespace zerb

#endif  // ZERB_TEXT_DIAGNOSTICS_H
