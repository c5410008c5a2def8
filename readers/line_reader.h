// Reads a text stream line by line through one large buffer, without copying or allocating per
// line: each line is a view into the buffer, valid until the next call. The bytes come through a
// ByteSource, which converts UTF-16 when told to.
#ifndef ZERB_READERS_LINE_READER_H
#define ZERB_READERS_LINE_READER_H

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "readers/byte_source.h"

namespace zerb {

class LineReader {
 public:
  // A line and its newline must fit in capacity bytes.
  explicit LineReader(std::FILE* in, std::size_t capacity = std::size_t{1} << 20);

  // The next line without its "\n" or "\r\n"; a UTF-8 byte order mark before the first line is
  // dropped. Returns false at the end of the input or on a read error. A line longer than the
  // capacity is returned cut to the capacity with too_long() set, and its rest is skipped.
  bool Next(std::string_view* line);
  bool too_long() const { return too_long_; }
  bool failed() const { return source_.failed(); }
  int error() const { return source_.error(); }     // the errno of the failed read
  std::uint64_t number() const { return number_; }  // of the last line returned, from 1
  // Whether the first line ended in "\r\n", as Windows writes text (for a writer that gives the
  // file back in its own shape).
  bool crlf() const { return crlf_; }
  ByteSource& source() { return source_; }

 private:
  bool Fill();

  ByteSource source_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  bool too_long_ = false;
  bool skipping_ = false;
  bool crlf_ = false;
  std::uint64_t number_ = 0;
};

}  // namespace zerb

#endif  // ZERB_READERS_LINE_READER_H
