// Opening an input of zerb-shift: standard input, or a named file looked at before it is opened,
// so that what is not a file says what it is. A directory, a device or a socket is refused by
// name; a named pipe (a FIFO, or the /dev/fd/63 of the shell's <(...)) is read as a stream as
// standard input is, and one that delivers nothing is told from an empty file.
#ifndef ZERB_READERS_INPUT_FILE_H
#define ZERB_READERS_INPUT_FILE_H

#include <cstdio>
#include <string>

#include "text/text.h"

namespace zerb {

// An open input, closed again unless it is standard input.
class InputFile {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  // Opens name; "" and "-" take standard input, given as in. The reason says why it cannot be
  // read, naming the input.
  Reason Open(const std::string& name, std::FILE* in);
  std::FILE* get() const { return file_; }
  // Whether the input comes as a stream to be read once (a pipe, a terminal), not as a file.
  bool pipe() const { return pipe_; }

 private:
  std::FILE* file_ = nullptr;
  bool owned_ = false;
  bool pipe_ = false;
};

// The message for a file that could not be opened or looked at, from the errno of the failure:
// "cannot read points.csv: permission denied".
Reason OpenFailure(const std::string& name, int error);

}  // namespace zerb

#endif  // ZERB_READERS_INPUT_FILE_H
