// The stream under the line reader, UTF-16 converted on the way; see byte_source.h.
#include "readers/byte_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "text/translate.h"

namespace zerb {
namespace {

constexpr std::size_t kBlock = std::size_t{1} << 16;
constexpr char kNotUtf8 = '\xFF';
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

}  // namespace

ByteSource::ByteSource(std::FILE* in) : in_(in), raw_(kBlock) {}

ByteSource::~ByteSource() {
  if (utf16_ != kNoConverter)
    iconv_close(utf16_);
}

// Moves the unread rest of raw_ to its front and reads more after it. False when nothing more
// can come.
bool ByteSource::ReadRaw() {
  if (eof_ || error_ != 0)
    return false;
  std::memmove(raw_.data(), raw_.data() + raw_begin_, raw_end_ - raw_begin_);
  raw_end_ -= raw_begin_;
  raw_begin_ = 0;
  const std::size_t n = std::fread(raw_.data() + raw_end_, 1, raw_.size() - raw_end_, in_);
  raw_end_ += n;
  if (std::ferror(in_) != 0)
    error_ = errno != 0 ? errno : EIO;
  else if (n == 0)
    eof_ = true;
  return n > 0;
}

std::string_view ByteSource::Head() {
  if (!head_read_) {
    head_read_ = true;
    ReadRaw();
  }
  return {raw_.data() + raw_begin_, raw_end_ - raw_begin_};
}

Reason ByteSource::ConvertUtf16(bool big_endian) {
  utf16_ = iconv_open("UTF-8", big_endian ? "UTF-16BE" : "UTF-16LE");
  if (utf16_ == kNoConverter)
    return Tr("cannot convert from UTF-16 (iconv has no UTF-16 converter)");
  const std::string_view head = Head();
  if (head.starts_with(big_endian ? "\xFE\xFF" : "\xFF\xFE"))
    raw_begin_ += 2;
  converted_.resize(kBlock);
  return {};
}

// Converts what raw_ holds, reading more as needed, into converted_. False when nothing more
// can come.
bool ByteSource::Convert() {
  converted_begin_ = converted_end_ = 0;
  while (converted_end_ == 0) {
    char* from = raw_.data() + raw_begin_;
    std::size_t from_left = raw_end_ - raw_begin_;
    char* to = converted_.data();
    std::size_t to_left = converted_.size();
    const bool stopped =
        from_left > 0 && iconv(utf16_, &from, &from_left, &to, &to_left) == std::size_t(-1);
    const int why = errno;
    raw_begin_ = raw_end_ - from_left;
    converted_end_ = converted_.size() - to_left;
    if (stopped && why == EILSEQ) {  // a code unit that is no character
      if (converted_end_ < converted_.size()) {
        converted_[converted_end_++] = kNotUtf8;
        raw_begin_ += 2;
      }
      continue;
    }
    if (converted_end_ > 0)
      break;
    // Nothing made: the raw bytes are used up, or end inside a character.
    if (!ReadRaw()) {
      if (raw_begin_ < raw_end_) {  // the stream ends inside a character
        converted_[converted_end_++] = kNotUtf8;
        raw_begin_ = raw_end_;
      }
      break;
    }
  }
  return converted_end_ > 0;
}

std::size_t ByteSource::Read(char* to, std::size_t size) {
  Head();
  if (error_ != 0 && raw_begin_ == raw_end_ && converted_begin_ == converted_end_) {
    errno = error_;  // again, for a caller that reports strerror(errno) when the lines end
    return 0;
  }
  if (utf16_ == kNoConverter) {
    if (raw_begin_ < raw_end_) {  // the head, read ahead
      const std::size_t n = std::min(size, raw_end_ - raw_begin_);
      std::memcpy(to, raw_.data() + raw_begin_, n);
      raw_begin_ += n;
      return n;
    }
    if (eof_)
      return 0;
    const std::size_t n = std::fread(to, 1, size, in_);
    if (std::ferror(in_) != 0)
      error_ = errno != 0 ? errno : EIO;
    else if (n == 0)
      eof_ = true;
    return n;
  }
  if (converted_begin_ == converted_end_ && !Convert())
    return 0;
  const std::size_t n = std::min(size, converted_end_ - converted_begin_);
  std::memcpy(to, converted_.data() + converted_begin_, n);
  converted_begin_ += n;
  return n;
}

}  // namespace zerb
