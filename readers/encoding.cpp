// UTF-8, GB18030 and UTF-16 input; see encoding.h.
#include "readers/encoding.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "text/translate.h"

namespace zerb {
namespace {

bool IsAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80)
      return false;
  }
  return true;
}

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// UTF-16 without a byte-order mark: every character of the Latin range, and so every delimiter,
// digit and line end of a table, has a NUL byte, on the side of the high byte; UTF-8 and GB18030
// text has none. Some NULs on one side (a quarter of its bytes at least) and next to none on the
// other (a CJK character such as 一, U+4E00, has a NUL low byte) is taken as UTF-16.
bool LooksLikeUtf16(std::string_view head, bool* big_endian) {
  const std::size_t size = std::min<std::size_t>(head.size(), 4096) & ~std::size_t{1};
  std::size_t nul[2] = {0, 0};  // at even and at odd offsets
  for (std::size_t i = 0; i < size; ++i)
    nul[i % 2] += head[i] == '\0';
  const std::size_t high = std::max(nul[0], nul[1]);
  const std::size_t low = std::min(nul[0], nul[1]);
  *big_endian = nul[0] > nul[1];
  return size >= 2 && high * 4 >= size / 2 && low * 8 < high;
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
  } else if (name == "utf-16" || name == "utf16") {
    *encoding = Encoding::kUtf16;
  } else if (name == "utf-16le" || name == "utf16le") {
    *encoding = Encoding::kUtf16Le;
  } else if (name == "utf-16be" || name == "utf16be") {
    *encoding = Encoding::kUtf16Be;
  } else {
    // TRANSLATORS: {1} is the value given, in quotes; the names in parentheses are typed as is.
    return Fill(Tr("unknown encoding {1} (auto, utf-8, gb18030, gbk, cp936, utf-16, utf-16le or "
                   "utf-16be)"),
                Quoted(text));
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
      i = SkipAscii(s, i);
      if (i == s.size())
        break;
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
    : lines_(in),
      given_(encoding),
      encoding_(encoding),
      decided_(encoding == Encoding::kUtf8 || encoding == Encoding::kGb18030) {
  if (encoding == Encoding::kAuto) {
    bool valid;
    if (ScanUtf8(in, &valid)) {
      encoding_ = valid ? Encoding::kUtf8 : Encoding::kGb18030;
      decided_ = true;
    }
  }
}

TextLines::~TextLines() {
  for (iconv_t cd : {gb18030_, cp936_}) {
    if (cd != kNoConverter)
      iconv_close(cd);
  }
}

Reason TextLines::Start(bool pipe) {
  ByteSource& source = lines_.source();
  const std::string_view head = source.Head();
  if (source.failed())
    return Fill(Tr("read error: {1}"), ErrnoText(source.error()));
  if (head.empty())
    return pipe ? Tr("nothing came through the pipe") : Tr("the file is empty");
  bool big_endian = false;
  if (head.starts_with("\xFE\xFF") || head.starts_with("\xFF\xFE")) {
    big_endian = head[0] == '\xFE';
  } else if (head.starts_with("\xEF\xBB\xBF")) {
    encoding_ = Encoding::kUtf8;
    decided_ = true;
    marked_ = true;
    return {};
  } else if (given_ == Encoding::kUtf16) {
    return Tr(
        "--encoding utf-16 needs a byte-order mark at the start of the file, and this one "
        "has none: give --encoding utf-16le or utf-16be");
  } else if (given_ == Encoding::kUtf16Le || given_ == Encoding::kUtf16Be) {
    big_endian = given_ == Encoding::kUtf16Be;
  } else if (LooksLikeUtf16(head, &big_endian)) {
    // TRANSLATORS: {1} is utf-16be or utf-16le, typed as is.
    return Fill(Tr("the file looks like UTF-16 without a byte-order mark (a NUL byte in every "
                   "second place): save it as UTF-8, or give --encoding {1}"),
                big_endian ? "utf-16be" : "utf-16le");
  } else {
    return {};
  }
  encoding_ = big_endian ? Encoding::kUtf16Be : Encoding::kUtf16Le;
  decided_ = true;
  return source.ConvertUtf16(big_endian);
}

// Converts raw with cd into converted_; on failure *at is the offset of the byte that stopped it.
bool TextLines::Convert(iconv_t cd, std::string_view raw, std::string_view* line, std::size_t* at) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  // A GB18030 character is at most 4 bytes and at most 4 bytes of UTF-8.
  converted_.resize(raw.size() * 2 + 4);
  char* from = const_cast<char*>(raw.data());
  std::size_t from_left = raw.size();
  char* to = converted_.data();
  std::size_t to_left = converted_.size();
  if (iconv(cd, &from, &from_left, &to, &to_left) == static_cast<std::size_t>(-1)) {
    *at = raw.size() - from_left;
    return false;
  }
  *line = std::string_view(converted_.data(), converted_.size() - to_left);
  return true;
}

Reason TextLines::DecodeGb18030(std::string_view raw, std::string_view* line) {
  if (gb18030_ == kNoConverter) {
    gb18030_ = iconv_open("UTF-8", "GB18030");
    if (gb18030_ == kNoConverter)
      return Tr("cannot convert from GB18030 (iconv has no GB18030 converter)");
  }
  std::size_t at = 0;
  if (Convert(gb18030_, raw, line, &at))
    return {};
  // Windows' code page 936 has the euro sign at 0x80, where GB18030 has nothing; for every other
  // byte sequence the two agree.
  if (raw.find('\x80') != std::string_view::npos) {
    if (cp936_ == kNoConverter)
      cp936_ = iconv_open("UTF-8", "CP936");
    std::size_t ignored;
    if (cp936_ != kNoConverter && Convert(cp936_, raw, line, &ignored))
      return {};
  }
  const std::size_t byte = at + 1;
  if (decided_at_ != 0) {
    // TRANSLATORS: {1} is the byte's place in the line, {2} a line number.
    return Fill(Tr("not valid GB18030 at byte {1} (the input was taken as GB18030 from line {2})"),
                byte, decided_at_);
  }
  if (given_ == Encoding::kGb18030) {
    return IsValidUtf8(raw)
               ? Fill(Tr("not valid GB18030 at byte {1}, but valid UTF-8: --encoding applies to "
                         "every input file, and without it each file's own encoding is found"),
                      byte)
               : Fill(Tr("not valid GB18030 at byte {1}"), byte);
  }
  return IsValidUtf8(raw) ? Fill(Tr("not valid GB18030 at byte {1}, though valid UTF-8: the file "
                                    "mixes UTF-8 lines with lines in another encoding"),
                                 byte)
                          : Fill(Tr("neither valid UTF-8 nor valid GB18030 at byte {1}"), byte);
}

Reason TextLines::Decode(std::string_view raw, std::string_view* line) {
  if (!decided_ && !IsAscii(raw)) {
    encoding_ = IsValidUtf8(raw) ? Encoding::kUtf8 : Encoding::kGb18030;
    decided_ = true;
    decided_at_ = lines_.number();
  }
  if (encoding_ == Encoding::kUtf16Le || encoding_ == Encoding::kUtf16Be) {
    if (!IsValidUtf8(raw))
      return Tr("not valid UTF-16 (half of a surrogate pair alone, or a character cut by the end)");
    *line = raw;
    return {};
  }
  if (!decided_ || encoding_ == Encoding::kUtf8) {
    if (!IsValidUtf8(raw) && marked_)
      return Tr("not valid UTF-8, though the file begins with the byte-order mark of UTF-8");
    if (!IsValidUtf8(raw)) {
      // TRANSLATORS: {1} is the line number from which the file was taken as UTF-8.
      return decided_at_ != 0 ? Fill(Tr("not valid UTF-8, though line {1} was (give --encoding "
                                        "gb18030 for a GBK file)"),
                                     decided_at_)
                              : Tr("not valid UTF-8 (give --encoding gb18030 for a GBK file)");
    }
    *line = raw;
    return {};
  }
  if (IsAscii(raw)) {
    *line = raw;
    return {};
  }
  return DecodeGb18030(raw, line);
}

bool TextLines::Next(std::string_view* line, Reason* reason) {
  reason->clear();
  std::string_view raw;
  if (!lines_.Next(&raw))
    return false;
  if (lines_.too_long()) {
    *reason = Tr("line longer than 1 MiB");
    return true;
  }
  *reason = Decode(raw, line);
  return true;
}

}  // namespace zerb
