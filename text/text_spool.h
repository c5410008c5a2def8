// Keeps the text columns of each point (its name and the passed-through columns) in an unnamed
// temporary file until the report is written, so that memory holds only the numbers of a point
// while the statistics wait for the whole input.
#ifndef ZERB_TEXT_TEXT_SPOOL_H
#define ZERB_TEXT_TEXT_SPOOL_H

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace zerb {

class TextSpool {
 public:
  TextSpool() = default;
  TextSpool(const TextSpool&) = delete;
  TextSpool& operator=(const TextSpool&) = delete;
  ~TextSpool();

  // Creates the temporary file; false when that fails.
  bool Open();
  bool Append(const std::vector<std::string_view>& fields);
  // Starts reading the records back in the order they were appended.
  bool Rewind();
  // The next record; fields keep their capacity from call to call.
  bool Read(std::vector<std::string>* fields);

 private:
  std::FILE* file_ = nullptr;
  std::string scratch_;  // one record on its way out or in
};

}  // namespace zerb

#endif  // ZERB_TEXT_TEXT_SPOOL_H
