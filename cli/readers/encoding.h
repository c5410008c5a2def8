// The text encodings of the files surveyors have: UTF-8, with or without a byte-order mark, and
// GB18030 (which contains GBK, the ANSI code page of a Chinese Windows, as Excel writes CSV there).
// Every line is handed on as UTF-8, so names reach every output valid.
//
// Decided per file: valid UTF-8 is UTF-8, anything else is read as GB18030. A regular file is
// checked whole before it is read; a pipe cannot be read twice, so there the first line that is
// not plain ASCII decides, and a later line that does not fit that decision is refused with a
// hint to give --encoding. GB18030 is converted with glibc's iconv: the decoder of a national
// standard of this size is not something to write by hand.
#ifndef ZERB_CLI_READERS_ENCODING_H
#define ZERB_CLI_READERS_ENCODING_H

#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "cli/readers/line_reader.h"
#include "cli/text.h"

namespace zerb {

enum class Encoding { kAuto, kUtf8, kGb18030 };

// "auto", "utf-8" (or "utf8"), "gb18030" (or "gbk", "gb2312", which it contains), any case.
Reason ParseEncoding(std::string_view text, Encoding* encoding);

// Whether the rest of a seekable stream is valid UTF-8; the stream is put back where it was.
// Returns false and leaves *valid unset when the stream cannot be read twice.
bool ScanUtf8(std::FILE* in, bool* valid);

// Lines of a text stream in UTF-8.
class TextLines {
 public:
  // encoding: as given, or kAuto to decide as described above.
  TextLines(std::FILE* in, Encoding encoding);
  TextLines(const TextLines&) = delete;
  TextLines& operator=(const TextLines&) = delete;
  ~TextLines();

  // The next line without its line end, as UTF-8. False at the end of the input or on a read
  // error. *reason is set when the line cannot be read as text (too long, or not in the file's
  // encoding); the line is then unusable but counted.
  bool Next(std::string_view* line, Reason* reason);
  std::uint64_t number() const { return lines_.number(); }
  bool failed() const { return lines_.failed(); }
  Encoding encoding() const { return encoding_; }

 private:
  Reason Decode(std::string_view raw, std::string_view* line);

  LineReader lines_;
  Encoding encoding_;
  bool decided_;
  std::uint64_t decided_at_ = 0;  // the line that decided, for a pipe
  iconv_t gb18030_ = reinterpret_cast<iconv_t>(-1);
  std::string converted_;
};

}  // namespace zerb

#endif  // ZERB_CLI_READERS_ENCODING_H
