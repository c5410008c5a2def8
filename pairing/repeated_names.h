// Names given more than once in one table, found once the table is read. Which of two rows of
// the same name is meant cannot be known, so every row of a repeated name is refused, as a name
// repeated in one of two paired files is.
//
// The table is held by nothing but a 64-bit hash of the name of each row that gave a point, in
// the order of the points (8 bytes a row; a map of the names themselves took some 90 bytes a
// row, 90 MB for a million); the point set knows their lines. Points whose hashes meet are
// compared by their names, which come back from the points' text spool (read once, and only when
// some hashes meet). Refused rows are reported one by one and are few: their names and lines are
// kept.
#ifndef ZERB_PAIRING_REPEATED_NAMES_H
#define ZERB_PAIRING_REPEATED_NAMES_H

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "pairing/name_hash.h"
#include "text/text.h"
#include "text/text_spool.h"

namespace zerb {

class RepeatedNames {
 public:
  explicit RepeatedNames(NameHash hash = DefaultNameHash) : hash_(hash) {}
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
  // text columns of all points (points of them, rows without a name too), name first, in the
  // same order; line_of_point gives a point's line. Returns false when the spool cannot be read
  // back. Called once, after the last Note.
  bool Find(TextSpool* spool, std::size_t points,
            const std::function<std::uint64_t(std::size_t)>& line_of_point,
            std::vector<Repeat>* repeats, std::vector<std::size_t>* withdraw);

 private:
  struct Refused {
    std::uint64_t hash;
    std::uint64_t line;
    std::string name;
  };
  NameHash hash_;
  std::vector<std::uint64_t> hashes_;  // of the rows that gave a point, in point order
  std::vector<Refused> refused_;
};

}  // namespace zerb

#endif  // ZERB_PAIRING_REPEATED_NAMES_H
