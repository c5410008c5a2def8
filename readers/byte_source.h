// The bytes of an input stream as the line reader takes them. Most files pass as they are;
// UTF-16 (Excel's "Unicode text") is converted to UTF-8 here, a block at a time by glibc's iconv,
// because the line reader finds lines at the byte '\n', which in UTF-16 is only half of a
// character. Memory stays bounded: two blocks of 64 KiB, whatever the size of the file. The
// first block is read ahead so that the start of the stream can be looked at before anything is
// handed on: a pipe cannot be read twice.
//
// A UTF-16 code unit that is no character (half of a surrogate pair without the other half, or
// an odd byte at the end) becomes a byte 0xFF, which UTF-8 never has, so that the line holding it
// is refused as not valid text while the lines and their numbers stay as they are.
#ifndef ZERB_READERS_BYTE_SOURCE_H
#define ZERB_READERS_BYTE_SOURCE_H

#include <iconv.h>

#include <cstdio>
#include <string_view>
#include <vector>

#include "text/text.h"

namespace zerb {

class ByteSource {
 public:
  explicit ByteSource(std::FILE* in);
  ByteSource(const ByteSource&) = delete;
  ByteSource& operator=(const ByteSource&) = delete;
  ~ByteSource();

  // The start of the stream, up to 64 KiB, read on the first call; Read hands it out again.
  // Empty when the stream is empty or cannot be read (failed() tells which).
  std::string_view Head();
  // Reads the stream from its start as UTF-16 in the given byte order, handing it out as UTF-8;
  // a byte-order mark at the start is dropped. Call before the first Read.
  Reason ConvertUtf16(bool big_endian);
  // Up to size bytes into to; 0 at the end of the stream or on a read error, errno then set to
  // that error again.
  std::size_t Read(char* to, std::size_t size);
  bool failed() const { return error_ != 0; }
  int error() const { return error_; }  // the errno of the read that failed

 private:
  bool ReadRaw();
  bool Convert();

  std::FILE* in_;
  std::vector<char> raw_;  // read from the stream, not yet handed out or converted
  std::size_t raw_begin_ = 0;
  std::size_t raw_end_ = 0;
  bool head_read_ = false;
  bool eof_ = false;
  int error_ = 0;
  iconv_t utf16_ = reinterpret_cast<iconv_t>(-1);
  std::vector<char> converted_;  // UTF-8 made from raw_, not yet handed out
  std::size_t converted_begin_ = 0;
  std::size_t converted_end_ = 0;
};

}  // namespace zerb

#endif  // ZERB_READERS_BYTE_SOURCE_H
