// Character helpers shared by the readers and the value parsers of zerb-shift, and the one error
// convention of the program: a function that can refuse its input returns the reason as an English
// text, empty on success, and hands its results through out-parameters; the caller adds where the
// input came from (file and line) and reports it.
#ifndef ZERB_TEXT_TEXT_H
#define ZERB_TEXT_TEXT_H

#include <string>
#include <string_view>

#include "text/translate.h"

namespace zerb {

// The reason a piece of input was refused; empty when it was accepted.
using Reason = std::string;

inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

inline bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The text without the blanks and tabs around it.
inline std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

// A number given as an option's value (a probability, a length in metres): any form the number
// text reads, exponents included (--alpha 1e-3), blanks around it allowed; false unless finite.
// Coordinates in files are stricter (plain decimals, see grid_values.h).
bool ParseOptionNumber(std::string_view text, double* value);

// "1 point", "2 points": the pattern for the count n, one and many being the English singular and
// plural with {1} for the count; the language of the messages chooses its own form (ngettext).
inline std::string Counted(unsigned long long n, const char* one, const char* many) {
  return Fill(TrN(one, many, n), n);
}

// The system's text for an errno value, with a lower-case first letter as the messages here
// have it: "permission denied".
std::string ErrnoText(int error);

// Whether a and b are the same text but for the case of ASCII letters.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Whether s is well-formed UTF-8: no stray continuation bytes, no overlong forms, no surrogates,
// nothing above U+10FFFF.
bool IsValidUtf8(std::string_view s);
// The position of the first byte at or after i that is not ASCII, or s.size(): eight bytes at a
// step, since a survey table is nearly all ASCII.
std::size_t SkipAscii(std::string_view s, std::size_t i);

// The length of the well-formed UTF-8 sequence at the start of s, or 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view s);

// Text as it can appear in a message, a file name for one: control characters and bytes that are
// not UTF-8 shown as '?'.
std::string Printable(std::string_view s);

// A cell as it appears in a message, in single quotes: control characters (which could move a
// terminal's cursor) and bytes that are not UTF-8 shown as '?', cut after 40 characters, so that
// every message is valid UTF-8 and one line.
std::string Quoted(std::string_view s);

}  // namespace zerb

#endif  // ZERB_TEXT_TEXT_H
