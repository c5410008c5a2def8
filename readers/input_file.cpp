// Opening the inputs; see input_file.h.
#include "readers/input_file.h"

#include <sys/stat.h>

#include <cerrno>

#include "text/translate.h"

namespace zerb {
namespace {

// The refusal of a file that is neither a regular file nor a pipe, saying what it is.
std::string NotAFile(mode_t mode, const std::string& name) {
  if (S_ISDIR(mode)) {
    // TRANSLATORS: {1} is a file name.
    return Fill(Tr("{1} is a directory, not a file"), Printable(name));
  }
  if (S_ISCHR(mode))
    return Fill(Tr("{1} is a character device, not a file"), Printable(name));
  if (S_ISBLK(mode))
    return Fill(Tr("{1} is a block device, not a file"), Printable(name));
  if (S_ISSOCK(mode))
    return Fill(Tr("{1} is a socket, not a file"), Printable(name));
  return Fill(Tr("{1} is a special file, not a file"), Printable(name));
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
      return Tr("<stdin> is a directory, not a file");
    file_ = in;
    pipe_ = !known || !S_ISREG(st.st_mode);
    return {};
  }
  // Looked at before it is opened: opening a device may already do something to it.
  if (stat(name.c_str(), &st) != 0)
    return OpenFailure(name, errno);
  if (!S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode))
    return NotAFile(st.st_mode, name);
  file_ = std::fopen(name.c_str(), "rb");
  if (file_ == nullptr)
    return OpenFailure(name, errno);
  owned_ = true;
  pipe_ = S_ISFIFO(st.st_mode);
  return {};
}

Reason OpenFailure(const std::string& name, int error) {
  // TRANSLATORS: {1} is a file name, {2} the system's reason.
  return Fill(Tr("cannot read {1}: {2}"), Printable(name), ErrnoText(error));
}

}  // namespace zerb
