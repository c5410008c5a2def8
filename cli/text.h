// Character helpers shared by the readers of angles, grid values and table cells.
#ifndef ZERB_CLI_TEXT_H
#define ZERB_CLI_TEXT_H

#include <string_view>

namespace zerb {

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

}  // namespace zerb

#endif  // ZERB_CLI_TEXT_H
