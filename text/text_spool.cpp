// Temporary storage of the text columns; see text_spool.h. Each record is its size, its field
// count and each field's length and bytes, so any byte may occur in a field; a record goes out
// and comes back in one call to stdio, whose every call takes a lock.
#include "text/text_spool.h"

#include <cstdint>
#include <cstring>

namespace zerb {

TextSpool::~TextSpool() {
  if (file_ != nullptr)
    std::fclose(file_);
}

bool TextSpool::Open() {
  file_ = std::tmpfile();
  return file_ != nullptr;
}

namespace {

void PutSize(std::string* out, std::uint32_t n) {
  out->append(reinterpret_cast<const char*>(&n), sizeof n);
}

bool GetSize(std::string_view* in, std::uint32_t* n) {
  if (in->size() < sizeof *n)
    return false;
  std::memcpy(n, in->data(), sizeof *n);
  in->remove_prefix(sizeof *n);
  return true;
}

}  // namespace

bool TextSpool::Append(const std::vector<std::string_view>& fields) {
  std::string& record = scratch_;
  record.assign(sizeof(std::uint32_t), '\0');  // the size, below
  PutSize(&record, static_cast<std::uint32_t>(fields.size()));
  for (std::string_view f : fields) {
    PutSize(&record, static_cast<std::uint32_t>(f.size()));
    record.append(f);
  }
  const auto size = static_cast<std::uint32_t>(record.size() - sizeof(std::uint32_t));
  std::memcpy(record.data(), &size, sizeof size);
  return std::fwrite(record.data(), 1, record.size(), file_) == record.size();
}

bool TextSpool::Rewind() {
  return std::fflush(file_) == 0 && std::fseek(file_, 0, SEEK_SET) == 0;
}

bool TextSpool::Read(std::vector<std::string>* fields) {
  std::uint32_t size;
  if (std::fread(&size, sizeof size, 1, file_) != 1)
    return false;
  scratch_.resize(size);
  if (size > 0 && std::fread(scratch_.data(), 1, size, file_) != size)
    return false;
  std::string_view in = scratch_;
  std::uint32_t count;
  if (!GetSize(&in, &count))
    return false;
  fields->resize(count);
  for (std::string& f : *fields) {
    std::uint32_t length;
    if (!GetSize(&in, &length) || in.size() < length)
      return false;
    f.assign(in.data(), length);
    in.remove_prefix(length);
  }
  return true;
}

}  // namespace zerb
