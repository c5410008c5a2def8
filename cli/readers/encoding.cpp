// UTF-8 and GB18030 input; see encoding.h.
#include "cli/readers/encoding.h"

#include <cerrno>
#include <vector>

namespace zerb {
namespace {

bool IsAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80)
      return false;
  }
  return true;
}

std::string Lower(std::string_view s) {
  std::string l(s);
  for (char& c : l)
    c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
  return l;
}

}  // namespace

Reason ParseEncoding(std::string_view text, Encoding* encoding) {
  const std::string name = Lower(text);
  if (name == "auto") {
    *encoding = Encoding::kAuto;
  } else if (name == "utf-8" || name == "utf8") {
    *encoding = Encoding::kUtf8;
  } else if (name == "gb18030" || name == "gbk" || name == "gb2312" || name == "cp936") {
    *encoding = Encoding::kGb18030;
  } else {
    return "unknown encoding " + Quoted(text) + " (auto, utf-8 or gb18030)";
  }
  return {};
}

bool ScanUtf8(std::FILE* in, bool* valid) {
  const long start = std::ftell(in);
  if (start < 0 || std::fseek(in, 0, SEEK_END) != 0 || std::fseek(in, start, SEEK_SET) != 0)
    return false;
  // A sequence cut by the end of a block is carried into the next one.
  std::vector<char> block(std::size_t{1} << 16);
  std::size_t carried = 0;
  bool ok = true;
  while (ok) {
    const std::size_t n = std::fread(block.data() + carried, 1, block.size() - carried, in);
    const std::size_t size = carried + n;
    if (size == 0)
      break;
    std::string_view s(block.data(), size);
    std::size_t i = 0;
    while (i < s.size()) {
      if (static_cast<unsigned char>(s[i]) < 0x80) {
        ++i;
        continue;
      }
      const std::size_t length = Utf8SequenceLength(s.substr(i));
      if (length == 0) {
        // Four bytes from the end a sequence may only be cut, unless the input ended.
        if (n > 0 && s.size() - i < 4)
          break;
        ok = false;
        break;
      }
      i += length;
    }
    if (!ok || n == 0) {
      ok = ok && i == s.size();
      break;
    }
    carried = s.size() - i;
    for (std::size_t k = 0; k < carried; ++k)
      block[k] = s[i + k];
  }
  const bool read_ok = std::ferror(in) == 0;
  std::clearerr(in);
  if (std::fseek(in, start, SEEK_SET) != 0 || !read_ok)
    return false;
  *valid = ok;
  return true;
}

TextLines::TextLines(std::FILE* in, Encoding encoding)
    : lines_(in), encoding_(encoding), decided_(encoding != Encoding::kAuto) {
  if (!decided_) {
    bool valid;
    if (ScanUtf8(in, &valid)) {
      encoding_ = valid ? Encoding::kUtf8 : Encoding::kGb18030;
      decided_ = true;
    }
  }
}

TextLines::~TextLines() {
  if (gb18030_ != reinterpret_cast<iconv_t>(-1))
    iconv_close(gb18030_);
}

Reason TextLines::Decode(std::string_view raw, std::string_view* line) {
  if (!decided_ && !IsAscii(raw)) {
    encoding_ = IsValidUtf8(raw) ? Encoding::kUtf8 : Encoding::kGb18030;
    decided_ = true;
    decided_at_ = lines_.number();
  }
  if (!decided_ || encoding_ == Encoding::kUtf8) {
    if (!IsValidUtf8(raw)) {
      return decided_at_ != 0 ? "not valid UTF-8, though line " + std::to_string(decided_at_) +
                                    " was (give --encoding gb18030 for a GBK file)"
                              : "not valid UTF-8 (give --encoding gb18030 for a GBK file)";
    }
    *line = raw;
    return {};
  }
  if (IsAscii(raw)) {
    *line = raw;
    return {};
  }
  if (gb18030_ == reinterpret_cast<iconv_t>(-1)) {
    gb18030_ = iconv_open("UTF-8", "GB18030");
    if (gb18030_ == reinterpret_cast<iconv_t>(-1))
      return "cannot convert from GB18030 (iconv has no GB18030 converter)";
  }
  iconv(gb18030_, nullptr, nullptr, nullptr, nullptr);
  // A GB18030 character is at most 4 bytes and at most 4 bytes of UTF-8.
  converted_.resize(raw.size() * 2 + 4);
  char* from = const_cast<char*>(raw.data());
  std::size_t from_left = raw.size();
  char* to = converted_.data();
  std::size_t to_left = converted_.size();
  const std::size_t result = iconv(gb18030_, &from, &from_left, &to, &to_left);
  if (result == static_cast<std::size_t>(-1)) {
    const std::size_t at = raw.size() - from_left;
    return (decided_at_ != 0 ? "not valid GB18030 (the input was taken as GB18030 from line " +
                                   std::to_string(decided_at_) + ")"
                             : std::string("neither valid UTF-8 nor valid GB18030")) +
           " at byte " + std::to_string(at + 1);
  }
  *line = std::string_view(converted_.data(), converted_.size() - to_left);
  return {};
}

bool TextLines::Next(std::string_view* line, Reason* reason) {
  reason->clear();
  std::string_view raw;
  if (!lines_.Next(&raw))
    return false;
  if (lines_.too_long()) {
    *reason = "line longer than 1 MiB";
    return true;
  }
  *reason = Decode(raw, line);
  return true;
}

}  // namespace zerb
