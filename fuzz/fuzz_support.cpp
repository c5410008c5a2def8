// Shared pieces of the fuzz targets; see fuzz_support.h.
#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "text/text.h"

namespace zerb::fuzz {
namespace {

struct Cursor {
  std::string_view bytes;
  std::size_t at = 0;
};

ssize_t ReadCursor(void* cookie, char* buffer, std::size_t size) {
  auto* c = static_cast<Cursor*>(cookie);
  const std::size_t n = std::min(size, c->bytes.size() - c->at);
  if (n > 0)
    std::memcpy(buffer, c->bytes.data() + c->at, n);
  c->at += n;
  return static_cast<ssize_t>(n);
}

int CloseCursor(void* cookie) {
  delete static_cast<Cursor*>(cookie);
  return 0;
}

std::string& TempDirectory() {
  static std::string directory;
  return directory;
}

void RemoveTempDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(TempDirectory(), ignored);
}

}  // namespace

void Require(bool ok, std::string_view what) {
  if (ok)
    return;
  std::fprintf(stderr, "fuzz property violated: %.*s\n", static_cast<int>(what.size()),
               what.data());
  std::abort();
}

void RequireUtf8(std::string_view text, std::string_view where) {
  Require(IsValidUtf8(text), std::string(where) + " is not valid UTF-8");
}

std::FILE* OpenBytes(std::string_view bytes, bool seekable) {
  std::FILE* file = nullptr;
  if (seekable) {
    // glibc reads a zero-sized buffer as an empty file; the pointer only has to be valid.
    static char empty[1];
    file = fmemopen(bytes.empty() ? empty : const_cast<char*>(bytes.data()), bytes.size(), "r");
  } else {
    cookie_io_functions_t io = {ReadCursor, nullptr, nullptr, CloseCursor};
    file = fopencookie(new Cursor{bytes}, "r", io);
  }
  Require(file != nullptr, "cannot open the fuzz input as a stream");
  return file;
}

std::string ReadBack(std::FILE* file) {
  std::string text;
  std::fflush(file);
  std::rewind(file);
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
    text.append(buffer, n);
  return text;
}

std::string WriteTempFile(std::string_view name, std::string_view bytes) {
  std::string& directory = TempDirectory();
  if (directory.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "zerb-fuzz-XXXXXX").string();
    Require(mkdtemp(pattern.data()) != nullptr, "cannot make a temporary directory");
    directory = pattern;
    std::atexit(RemoveTempDirectory);
  }
  const std::string path = directory + "/" + std::string(name);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  Require(file != nullptr, "cannot write a temporary file");
  Require(
      std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fclose(file) == 0,
      "cannot write a temporary file");
  return path;
}

unsigned Input::Byte() {
  if (rest_.empty())
    return 0;
  const auto b = static_cast<unsigned char>(rest_.front());
  rest_.remove_prefix(1);
  return b;
}

std::string_view Input::Until(char separator) {
  const std::size_t at = rest_.find(separator);
  const std::string_view head = rest_.substr(0, at);
  rest_.remove_prefix(at == std::string_view::npos ? rest_.size() : at + 1);
  return head;
}

}  // namespace zerb::fuzz
