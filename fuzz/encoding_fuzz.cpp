// Fuzzes the text layer under both readers: the line reader, against a plain split of the same
// bytes, and the encoding decision and the GB18030 and UTF-16 conversions of TextLines, whose
// every accepted line must be UTF-8, for a regular file (checked whole first) and a pipe (decided
// by its first non-ASCII line).
// Input: one settings byte (encoding, whether the stream is seekable, line reader capacity),
// then the file.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "readers/encoding.h"
#include "readers/line_reader.h"
#include "text/text.h"

namespace zerb::fuzz {
namespace {

// A line of the input: its bytes as stored, and as LineReader hands them out.
struct Line {
  std::string_view raw;  // without its newline
  std::string_view
      text;  // "\r" before the newline and a first line's UTF-8 byte-order mark dropped
};

// The lines of bytes cut at "\n", with no empty line after a final newline.
std::vector<Line> ExpectedLines(std::string_view bytes) {
  std::vector<Line> lines;
  while (!bytes.empty()) {
    const std::size_t nl = bytes.find('\n');
    Line line{bytes.substr(0, nl), bytes.substr(0, nl)};
    bytes.remove_prefix(nl == std::string_view::npos ? bytes.size() : nl + 1);
    if (line.text.ends_with('\r'))
      line.text.remove_suffix(1);
    if (lines.empty() && line.text.starts_with("\xEF\xBB\xBF"))
      line.text.remove_prefix(3);
    lines.push_back(line);
  }
  return lines;
}

bool IsAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80)
      return false;
  }
  return true;
}

void CheckLineReader(std::string_view bytes, std::size_t capacity) {
  std::FILE* in = OpenBytes(bytes, true);
  LineReader reader(in, capacity);
  const std::vector<Line> expected = ExpectedLines(bytes);
  std::string_view line;
  std::size_t n = 0;
  while (reader.Next(&line)) {
    Require(n < expected.size(), "more lines than the bytes hold");
    Require(reader.number() == n + 1, "line numbers skip");
    if (reader.too_long()) {
      // The head of a line that with its newline does not fit: a prefix of it, within capacity.
      Require(line.size() <= capacity, "an overlong line handed out beyond the capacity");
      Require(expected[n].raw.size() + 1 > capacity, "a line that fits was called too long");
      Require(expected[n].text.substr(0, line.size()) == line,
              "an overlong line's head is not its start");
    } else {
      Require(line == expected[n].text, "a line differs from the bytes between newlines");
    }
    ++n;
  }
  Require(!reader.failed(), "a read error on memory");
  Require(n == expected.size(), "lines lost");
  std::fclose(in);
}

void CheckTextLines(std::string_view bytes, Encoding encoding, bool seekable) {
  std::FILE* in = OpenBytes(bytes, seekable);
  if (seekable && encoding == Encoding::kAuto) {
    bool valid = false;
    Require(ScanUtf8(in, &valid), "a seekable stream could not be scanned");
    Require(valid == IsValidUtf8(bytes), "ScanUtf8 disagrees with IsValidUtf8");
    Require(std::ftell(in) == 0, "ScanUtf8 did not put the stream back");
  }
  TextLines lines(in, encoding);
  const std::vector<Line> expected = ExpectedLines(bytes);
  if (seekable && encoding == Encoding::kAuto) {
    Require(lines.encoding() == (IsValidUtf8(bytes) ? Encoding::kUtf8 : Encoding::kGb18030),
            "a regular file's encoding decided wrongly");
  }
  const Reason start = lines.Start(!seekable);
  RequireUtf8(start, "the stream's refusal");
  if (!start.empty()) {
    Require(
        bytes.empty() || bytes.find('\0') != std::string_view::npos || encoding == Encoding::kUtf16,
        "a stream refused without cause");
    std::fclose(in);
    return;
  }
  const bool utf16 =
      lines.encoding() == Encoding::kUtf16Le || lines.encoding() == Encoding::kUtf16Be;
  std::string_view line;
  Reason reason;
  std::size_t n = 0;
  while (lines.Next(&line, &reason)) {
    Require(utf16 || n < expected.size(), "more lines than the bytes hold");
    RequireUtf8(reason, "a line's refusal");
    if (reason.empty()) {
      RequireUtf8(line, "a line handed on");
      Require(line.find('\n') == std::string_view::npos, "a newline inside a line");
      // UTF-8 lines pass unchanged, and so does plain ASCII in every encoding but UTF-16.
      if (!utf16 && (lines.encoding() != Encoding::kGb18030 || IsAscii(expected[n].text)))
        Require(line == expected[n].text, "a line changed on its way through");
    }
    ++n;
  }
  // Converted from UTF-16 the lines are those of the converted text, not of the bytes.
  Require(utf16 || n == expected.size(), "lines lost");
  std::fclose(in);
}

}  // namespace
}  // namespace zerb::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zerb;
  using namespace zerb::fuzz;
  Input input(data, size);
  const unsigned settings = input.Byte();
  constexpr Encoding kEncodings[] = {Encoding::kAuto,  Encoding::kUtf8,    Encoding::kGb18030,
                                     Encoding::kUtf16, Encoding::kUtf16Le, Encoding::kUtf16Be};
  const std::string_view bytes = input.rest();
  CheckTextLines(bytes, kEncodings[settings % 6], (settings & 0x80) == 0);
  // Small capacities reach the overlong-line path that the 1 MiB default hides from short input;
  // from 4 bytes on, so that a byte-order mark fits whole.
  CheckLineReader(bytes, 4 + (settings / 4) % 16);
  CheckLineReader(bytes, std::size_t{1} << 20);
  return 0;
}
