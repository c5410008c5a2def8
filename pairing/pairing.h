// Pairing two files by point name: the WGS-84 file is held in memory, keyed by name, a few dozen
// bytes per point; the grid file is then read line by line and each of its points looks up its
// partner. Names are compared exactly after trimming the blanks around them. A name that occurs
// twice in one file is refused, with both lines, and so is its point in the other file: which of
// the two is meant cannot be known, and pairing either could swap points.
#ifndef ZERB_PAIRING_PAIRING_H
#define ZERB_PAIRING_PAIRING_H

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "readers/point_values.h"
#include "text/text.h"

namespace zerb {

// A name found in one file only.
struct Unpaired {
  std::string name;
  std::uint64_t line;
  bool in_grid;  // in the grid file, else in the WGS-84 file
};

class Wgs84Index {
 public:
  struct Entry {
    std::uint64_t line = 0;
    Wgs84Point point;
    std::vector<std::string> passed;  // the file's passed-through columns
    bool check = false;
    std::uint64_t duplicate_line = 0;  // another line with the same name, 0 when none
    bool paired = false;
  };

  // Enters the point of line. Returns a reason when the name occurs already (naming both lines).
  Reason Add(std::string_view name, Entry entry);
  // The entry named name, or null; marks it paired.
  Entry* Pair(std::string_view name);
  // The names never asked for, in line order; duplicates are not listed (they were refused).
  std::vector<Unpaired> NeverPaired() const;

 private:
  std::unordered_map<std::string, Entry> entries_;
};

// The names of the grid file seen so far, to find one that comes again.
class GridNames {
 public:
  struct Seen {
    std::uint64_t line;
    std::size_t point;  // index into the point set, or kNoPoint when that line gave none
  };
  static constexpr std::size_t kNoPoint = static_cast<std::size_t>(-1);
  // Null when name is new (and now entered with line and point); else its first occurrence.
  const Seen* Enter(std::string_view name, std::uint64_t line, std::size_t point);
  // Corrects the point index of the occurrence just entered.
  void SetPoint(std::string_view name, std::size_t point);

 private:
  std::unordered_map<std::string, Seen> seen_;
};

}  // namespace zerb

#endif  // ZERB_PAIRING_PAIRING_H
