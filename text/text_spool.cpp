// Temporary storage of the text columns; see text_spool.h. Each record is its field count and
// each field's length and bytes, so any byte may occur in a field.
#include "text/text_spool.h"

#include <cstdint>

namespace zerb {

TextSpool::~TextSpool() {
  if (file_ != nullptr)
    std::fclose(file_);
}

bool TextSpool::Open() {
  file_ = std::tmpfile();
  return file_ != nullptr;
}

bool TextSpool::Append(const std::vector<std::string_view>& fields) {
  const auto count = static_cast<std::uint32_t>(fields.size());
  bool ok = std::fwrite(&count, sizeof count, 1, file_) == 1;
  for (std::string_view f : fields) {
    const auto size = static_cast<std::uint32_t>(f.size());
    ok = ok && std::fwrite(&size, sizeof size, 1, file_) == 1;
    ok = ok && (size == 0 || std::fwrite(f.data(), 1, size, file_) == size);
  }
  return ok;
}

bool TextSpool::Rewind() {
  return std::fflush(file_) == 0 && std::fseek(file_, 0, SEEK_SET) == 0;
}

bool TextSpool::Read(std::vector<std::string>* fields) {
  std::uint32_t count;
  if (std::fread(&count, sizeof count, 1, file_) != 1)
    return false;
  fields->resize(count);
  for (std::string& f : *fields) {
    std::uint32_t size;
    if (std::fread(&size, sizeof size, 1, file_) != 1)
      return false;
    f.resize(size);
    if (size > 0 && std::fread(f.data(), 1, size, file_) != size)
      return false;
  }
  return true;
}

}  // namespace zerb
