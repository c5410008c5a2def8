// The text encodings of the files surveyors have: UTF-8, with or without a byte-order mark,
// GB18030 (which contains GBK, the ANSI code page of a Chinese Windows, as Excel writes CSV
// there), and UTF-16 with a byte-order mark (Excel's "Unicode text"). Every line is handed on as
// UTF-8, so names reach every output valid.
//
// Decided per file. A byte-order mark decides first, whatever --encoding says: it is the writer's
// own word on the encoding (as GB18030 its bytes would be nonsense), and so one --encoding gbk
// serves a GBK .dat beside a UTF-8 table that has a mark.
// Without a mark: the encoding given, else valid UTF-8 is UTF-8 and anything else is read as
// GB18030. A regular file is checked whole before it is read; a pipe cannot be read twice, so
// there the first line that is not plain ASCII decides, and a later line that does not fit that
// decision is refused with a hint to give --encoding. UTF-16 is never guessed: a file whose
// start has a NUL in every second byte, as UTF-16 without a mark has, is refused with the hint
// to save it as UTF-8 or to give its byte order. GB18030 and UTF-16 are converted with glibc's
// iconv: the decoder of a national standard of this size is not something to write by hand. The
// one byte in which Windows' GBK (code page 936) goes beyond GB18030, 0x80 for the euro sign, is
// read as Windows reads it.
#ifndef ZERB_READERS_ENCODING_H
#define ZERB_READERS_ENCODING_H

#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "readers/line_reader.h"
#include "text/text.h"

namespace zerb {

// kUtf16: UTF-16 in the order its byte-order mark gives, which it must have.
enum class Encoding { kAuto, kUtf8, kGb18030, kUtf16, kUtf16Le, kUtf16Be };

// "auto", "utf-8" (or "utf8"), "gb18030" (or "gbk", "cp936", "gb2312", which it contains),
// "utf-16", "utf-16le", "utf-16be" (also without the dash), any case.
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

  // Looks at the start of the stream and settles its encoding; call once before Next. A reason
  // refuses the whole stream: it is empty (pipe: it is a pipe, and nothing came through), cannot
  // be read, or is UTF-16 without the byte-order mark that would tell its byte order.
  Reason Start(bool pipe);
  // The next line without its line end, as UTF-8. False at the end of the input or on a read
  // error. *reason is set when the line cannot be read as text (too long, or not in the file's
  // encoding); the line is then unusable but counted.
  bool Next(std::string_view* line, Reason* reason);
  std::uint64_t number() const { return lines_.number(); }
  bool crlf() const { return lines_.crlf(); }  // the first line ended in "\r\n"
  bool failed() const { return lines_.failed(); }
  int error() const { return lines_.error(); }  // the errno of the failed read
  Encoding encoding() const { return encoding_; }

 private:
  Reason Decode(std::string_view raw, std::string_view* line);
  Reason DecodeGb18030(std::string_view raw, std::string_view* line);
  bool Convert(iconv_t cd, std::string_view raw, std::string_view* line, std::size_t* at);

  LineReader lines_;
  Encoding given_;
  Encoding encoding_;
  bool decided_;
  bool marked_ = false;           // UTF-8 by its byte-order mark, whatever was given
  std::uint64_t decided_at_ = 0;  // the line that decided, for a pipe
  iconv_t gb18030_ = reinterpret_cast<iconv_t>(-1);
  iconv_t cp936_ = reinterpret_cast<iconv_t>(-1);
  std::string converted_;
};

}  // namespace zerb

#endif  // ZERB_READERS_ENCODING_H
