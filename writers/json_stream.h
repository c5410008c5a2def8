// RapidJSON's output stream over the tree's Output buffer: the JSON report goes out in the same
// large pieces as every other format, and no second buffer holds any of it.
#ifndef ZERB_WRITERS_JSON_STREAM_H
#define ZERB_WRITERS_JSON_STREAM_H

#include "writers/output.h"

namespace zerb {

class JsonStream {
 public:
  using Ch = char;  // what RapidJSON's writer puts, one at a time

  explicit JsonStream(Output& out) : out_(out) {}
  void Put(char c) { out_.Put(c); }
  // Not RapidJSON's: text in one piece, for the report's keys and numbers.
  void Write(std::string_view text) { out_ << text; }
  // RapidJSON calls this when the document is complete.
  void Flush() { out_.Flush(); }

 private:
  Output& out_;
};

}  // namespace zerb

#endif  // ZERB_WRITERS_JSON_STREAM_H
