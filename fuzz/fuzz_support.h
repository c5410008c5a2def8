// What every fuzz target of zerb-shift shares: a failed property aborts the run with a message
// (libFuzzer then keeps the input as a crash), and fuzz input becomes a stdio stream the readers
// take, either seekable like a regular file or read-only like a pipe.
#ifndef ZERB_FUZZ_FUZZ_SUPPORT_H
#define ZERB_FUZZ_FUZZ_SUPPORT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace zerb::fuzz {

// Prints what and aborts when ok is false.
void Require(bool ok, std::string_view what);

// Aborts unless text is well-formed UTF-8; where names the text in the message.
void RequireUtf8(std::string_view text, std::string_view where);

// A read-only stream over bytes that must outlive it. seekable: like a regular file (fmemopen),
// else like a pipe (a cookie stream without a seek function, so ftell fails).
std::FILE* OpenBytes(std::string_view bytes, bool seekable);

// The whole content of a stream written so far, from its start.
std::string ReadBack(std::FILE* file);

// Writes bytes to a file of that name in a directory of this process (made on first use,
// removed at exit) and returns the file's path.
std::string WriteTempFile(std::string_view name, std::string_view bytes);

// The fuzz input, consumed from the front: a byte of settings, then the rest.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size)
      : rest_(reinterpret_cast<const char*>(data), size) {}
  // The next byte, 0 once the input is used up.
  unsigned Byte();
  // The input up to the first occurrence of separator (which is consumed), or all of it.
  std::string_view Until(char separator);
  std::string_view rest() const { return rest_; }

 private:
  std::string_view rest_;
};

}  // namespace zerb::fuzz

#endif  // ZERB_FUZZ_FUZZ_SUPPORT_H
