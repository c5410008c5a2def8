// Opening the inputs; see input_file.h.
#include "readers/input_file.h"

#include <sys/stat.h>

#include <cerrno>

namespace zerb {
namespace {

// What a file that is neither a regular file nor a pipe is, for the refusal.
std::string KindOf(mode_t mode) {
  if (S_ISDIR(mode))
    return "a directory";
  if (S_ISCHR(mode))
    return "a character device";
  if (S_ISBLK(mode))
    return "a block device";
  if (S_ISSOCK(mode))
    return "a socket";
  return "a special file";
}

}  // namespace

InputFile::~InputFile() {
  if (owned_)
    std::fclose(file_);
}

Reason InputFile::Open(const std::string& name, std::FILE* in) {
  struct stat st;
  if (name.empty() || name == "-") {
    // Whatever the shell connected is read, a terminal too; only a directory cannot be.
    const int fd = fileno(in);
    const bool known = fd >= 0 && fstat(fd, &st) == 0;
    if (known && S_ISDIR(st.st_mode))
      return "<stdin> is a directory, not a file";
    file_ = in;
    pipe_ = !known || !S_ISREG(st.st_mode);
    return {};
  }
  // Looked at before it is opened: opening a device may already do something to it.
  if (stat(name.c_str(), &st) != 0)
    return OpenFailure(name, errno);
  if (!S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode))
    return Printable(name) + " is " + KindOf(st.st_mode) + ", not a file";
  file_ = std::fopen(name.c_str(), "rb");
  if (file_ == nullptr)
    return OpenFailure(name, errno);
  owned_ = true;
  pipe_ = S_ISFIFO(st.st_mode);
  return {};
}

Reason OpenFailure(const std::string& name, int error) {
  return "cannot read " + Printable(name) + ": " + ErrnoText(error);
}

}  // namespace zerb
