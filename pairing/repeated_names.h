// Names given more than once in one table, found once the table is read. Which of two rows of
// the same name is meant cannot be known, so every row of a repeated name is refused, as a name
// repeated in one of two paired files is.
//
// The table is held by nothing but a 64-bit hash of each row's name and its line (16 bytes a
// row; a map of the names themselves took some 90 bytes a row, 90 MB for a million). Rows whose
// hashes meet are compared by their names: those of rows that gave a point come back from the
// points' text spool (read once, and only when some hashes meet), those of refused rows are
// kept (refused rows are reported one by one and are few).
#ifndef ZERB_PAIRING_REPEATED_NAMES_H
#define ZERB_PAIRING_REPEATED_NAMES_H

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "text/text.h"
#include "text/text_spool.h"

namespace zerb {

class RepeatedNames {
 public:
  // The row at line was named name (without the blanks around it); it gave a point or was
  // refused.
  void Note(std::string_view name, std::uint64_t line, bool gave_point);

  // A row whose name an earlier row has.
  struct Repeat {
    std::string name;
    std::uint64_t line;
    std::uint64_t first_line;  // the earliest row of that name
    bool gave_point;
  };
  // The repeats, in line order, and the points of every row of a repeated name in *withdraw
  // (ascending; a point is numbered by the rows that gave one, in line order). spool holds the
  // text columns of those points, name first, in the same order. Returns false when the spool
  // cannot be read back.
  bool Find(TextSpool* spool, std::vector<Repeat>* repeats, std::vector<std::size_t>* withdraw);

 private:
  struct Row {
    std::uint64_t hash;
    std::uint64_t line_and_point;  // line << 1, | 1 when the row gave a point
  };
  std::vector<Row> rows_;
  std::unordered_map<std::uint64_t, std::string> refused_names_;  // by line
};

}  // namespace zerb

#endif  // ZERB_PAIRING_REPEATED_NAMES_H
