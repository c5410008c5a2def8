// Recursive descent over RFC 8259's grammar; see json_check.h.
#include "fuzz/json_check.h"

#include "cli/text.h"

namespace zerb::fuzz {
namespace {

constexpr int kMaxDepth = 64;

class Parser {
 public:
  explicit Parser(std::string_view s) : s_(s) {}

  bool Document() {
    if (!Value(0))
      return false;
    Blanks();
    return i_ == s_.size();
  }

 private:
  char Peek() const { return i_ < s_.size() ? s_[i_] : '\0'; }
  bool Take(char c) {
    if (Peek() != c || i_ >= s_.size())
      return false;
    ++i_;
    return true;
  }
  void Blanks() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r'))
      ++i_;
  }
  bool Digits() {
    const std::size_t start = i_;
    while (IsDigit(Peek()) && i_ < s_.size())
      ++i_;
    return i_ > start;
  }

  bool Value(int depth) {
    if (depth > kMaxDepth)
      return false;
    Blanks();
    const char c = Peek();
    if (c == '{' || c == '[')
      return Container(depth);
    if (c == '"')
      return String();
    for (std::string_view word : {"true", "false", "null"}) {
      if (s_.substr(i_).starts_with(word)) {
        i_ += word.size();
        return true;
      }
    }
    return Number();
  }

  bool Container(int depth) {
    const bool object = Take('{');
    if (!object)
      Take('[');
    const char close = object ? '}' : ']';
    Blanks();
    if (Take(close))
      return true;
    do {
      if (object) {
        Blanks();
        if (!String())
          return false;
        Blanks();
        if (!Take(':'))
          return false;
      }
      if (!Value(depth + 1))
        return false;
      Blanks();
    } while (Take(','));
    return Take(close);
  }

  bool String() {
    if (!Take('"'))
      return false;
    while (i_ < s_.size()) {
      const auto c = static_cast<unsigned char>(s_[i_]);
      if (c == '"') {
        ++i_;
        return true;
      }
      if (c < 0x20)
        return false;
      if (c == '\\') {
        ++i_;
        const char e = Peek();
        if (e == 'u') {
          ++i_;
          for (int k = 0; k < 4; ++k, ++i_) {
            const char h = Peek();
            if (!(IsDigit(h) || (h >= 'a' && h <= 'f') || (h >= 'A' && h <= 'F')))
              return false;
          }
          continue;
        }
        if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos || e == '\0')
          return false;
        ++i_;
        continue;
      }
      const std::size_t n = Utf8SequenceLength(s_.substr(i_));
      if (n == 0)
        return false;
      i_ += n;
    }
    return false;
  }

  bool Number() {
    Take('-');
    if (Peek() == '0') {
      ++i_;
    } else if (!Digits()) {
      return false;
    }
    if (Take('.') && !Digits())
      return false;
    if (Peek() == 'e' || Peek() == 'E') {
      ++i_;
      if (!Take('+'))
        Take('-');
      if (!Digits())
        return false;
    }
    return true;
  }

  std::string_view s_;
  std::size_t i_ = 0;
};

}  // namespace

bool IsStrictJson(std::string_view text) {
  return Parser(text).Document();
}

}  // namespace zerb::fuzz
