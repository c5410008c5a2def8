// Buffered line reading; see line_reader.h.
#include "readers/line_reader.h"

#include <cstring>

namespace zerb {

LineReader::LineReader(std::FILE* in, std::size_t capacity) : source_(in), buffer_(capacity) {}

// Moves the unread rest to the front and reads more after it. Returns false when nothing more
// can come.
bool LineReader::Fill() {
  if (eof_)
    return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  const std::size_t n = source_.Read(buffer_.data() + end_, buffer_.size() - end_);
  end_ += n;
  if (n == 0) {
    eof_ = true;
    return false;
  }
  return true;
}

bool LineReader::Next(std::string_view* line) {
  too_long_ = false;
  while (true) {
    const char* start = buffer_.data() + begin_;
    const void* nl = std::memchr(start, '\n', end_ - begin_);
    std::size_t length;
    std::size_t consumed;
    if (nl != nullptr) {
      length = static_cast<std::size_t>(static_cast<const char*>(nl) - start);
      consumed = length + 1;
    } else if (begin_ == 0 && end_ == buffer_.size()) {
      length = consumed = end_;  // a line filling the whole buffer: hand out its head
      if (!skipping_)
        too_long_ = true;
    } else if (Fill()) {
      continue;
    } else if (end_ > begin_) {
      start = buffer_.data() + begin_;    // Fill moved the rest to the front
      length = consumed = end_ - begin_;  // last line without a newline
    } else {
      return false;
    }
    const bool was_skipping = skipping_;
    skipping_ = too_long_ || (was_skipping && nl == nullptr);
    begin_ += consumed;
    if (was_skipping)
      continue;  // the rest of an overlong line
    ++number_;
    std::string_view s(start, length);
    if (!s.empty() && s.back() == '\r') {
      s.remove_suffix(1);
      crlf_ = crlf_ || (number_ == 1 && nl != nullptr);
    }
    if (number_ == 1 && s.starts_with("\xEF\xBB\xBF"))
      s.remove_prefix(3);
    *line = s;
    return true;
  }
}

}  // namespace zerb
