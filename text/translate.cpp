// The placeholders of message patterns and the binding of the text domain; see translate.h.
#include "text/translate.h"

#include <clocale>
#include <cstdlib>

namespace zerb {
namespace format_detail {

std::string FillIn(std::string_view pattern, const std::string* args, std::size_t count) {
  std::string out;
  out.reserve(pattern.size());
  std::size_t i = 0;
  while (i < pattern.size()) {
    if (pattern[i] == '{') {
      std::size_t j = i + 1;
      std::size_t n = 0;
      while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9' && j - i < 4)
        n = n * 10 + static_cast<std::size_t>(pattern[j++] - '0');
      if (j > i + 1 && j < pattern.size() && pattern[j] == '}' && n >= 1 && n <= count) {
        out += args[n - 1];
        i = j + 1;
        continue;
      }
    }
    out += pattern[i++];
  }
  return out;
}

}  // namespace format_detail

void UseLanguageOfEnvironment(const char* locale_dir) {
  std::setlocale(LC_ALL, "");
  // snprintf and strtod follow LC_NUMERIC: a decimal comma would corrupt every number written.
  std::setlocale(LC_NUMERIC, "C");
  const char* dir = std::getenv("ZERB_LOCALEDIR");
  bindtextdomain(kTextDomain, dir != nullptr && *dir != '\0' ? dir : locale_dir);
  bind_textdomain_codeset(kTextDomain, "UTF-8");
  // The C library's own texts (strerror) come in the locale's character set: under zh_CN.GB18030
  // a UTF-8 message would carry "没有那个文件或目录" in GB18030 bytes.
  bind_textdomain_codeset("libc", "UTF-8");
}

}  // namespace zerb
