// Writes zerb's desktop entry from its template, putting in the values of the program's version
// block wherever the template names a key as @Key@ (ProductName for the entry's Name,
// FileDescription for its Comment), so the desktop menu names the program as its resources do.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/resource_format.h"

namespace {

const char* VersionValue(std::string_view key) {
  for (const VersionString& entry : g_moduleResources.version->strings) {
    if (key == entry.key) {
      return entry.value;
    }
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s TEMPLATE OUTPUT\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1]);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in) {
    std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
    return 1;
  }

  std::string out;
  for (std::size_t pos = 0;;) {
    const std::size_t open = text.find('@', pos);
    if (open == std::string::npos) {
      out.append(text, pos);
      break;
    }
    const std::size_t close = text.find('@', open + 1);
    if (close == std::string::npos) {
      std::fprintf(stderr, "%s: unpaired @ in %s\n", argv[0], argv[1]);
      return 1;
    }
    const std::string key = text.substr(open + 1, close - open - 1);
    const char* value = VersionValue(key);
    // A desktop entry value is one line; an empty Name or Comment would leave the menu blank.
    if (value == nullptr || *value == '\0' ||
        std::string_view(value).find_first_of("\n\r") != std::string_view::npos) {
      std::fprintf(stderr, "%s: the version block has no one-line value for %s\n", argv[0],
                   key.c_str());
      return 1;
    }
    out.append(text, pos, open - pos).append(value);
    pos = close + 1;
  }

  std::ofstream file(argv[2], std::ios::binary);
  file << out;
  if (!file.flush()) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
    return 1;
  }
  return 0;
}
