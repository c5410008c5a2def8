// Pairing two files by point name: the WGS-84 file is held in memory, keyed by name, a few dozen
// bytes per point; the grid file is then read line by line and each of its points looks up its
// partner. Names are compared exactly after trimming the blanks around them. A name that occurs
// twice in one file is refused, with both lines, and so is its point in the other file: which of
// the two is meant cannot be known, and pairing either could swap points.
//
// Memory: a million WGS-84 points in node-based maps of strings took some 250 MB. Here each point
// is 40 bytes in fixed blocks (its angles as degrees, minutes and the seconds' double, bit for bit
// as read; 32-bit line and text position), its name and passed columns in a block-wise text arena
// (a length byte and the bytes, typically), and a 32-bit slot in an open-addressing table keyed
// by a 64-bit hash of the name, where a slot whose hash matches is confirmed by the real name.
// What does not fit the compact form (a line past 2^32, an angle out of the packed range, a text
// past the arena's reach) is kept whole on the side. The grid file's names share the entries of
// the names they pair with: once a grid line has claimed an entry, its WGS-84 values are no longer
// needed and its seconds' room holds that grid line and point instead.
#ifndef ZERB_PAIRING_PAIRING_H
#define ZERB_PAIRING_PAIRING_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "pairing/name_hash.h"
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
    Role role = Role::kControl;
    std::uint64_t duplicate_line = 0;  // another line with the same name, 0 when none
    bool paired = false;
  };

  explicit Wgs84Index(NameHash hash = DefaultNameHash);
  ~Wgs84Index();
  Wgs84Index(const Wgs84Index&) = delete;
  Wgs84Index& operator=(const Wgs84Index&) = delete;

  // Enters the point of line. Returns a reason when the name occurs already (naming both lines).
  Reason Add(std::string_view name, Entry entry);
  // The entry named name, or null; marks it paired. The entry stays valid until the next call.
  Entry* Pair(std::string_view name);
  // The names never asked for, in line order; duplicates are not listed (they were refused).
  std::vector<Unpaired> NeverPaired() const;

 private:
  friend class GridNames;
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
  // One point, 40 bytes.
  struct Packed {
    std::uint64_t seconds[2];  // latitude's and longitude's (bits); once claimed: grid line, point
    double height;
    std::uint32_t line;
    std::uint32_t text;  // arena block << 20 | offset: name, passed column count, columns
    std::uint16_t degrees[2];
    std::uint8_t minutes[2];
    std::uint8_t flags;
    std::uint8_t more;
  };
  // A point the packed form cannot hold.
  struct Wide {
    Entry entry;
    std::string name;
  };

  std::uint32_t Find(std::string_view name) const;
  std::string_view NameOf(std::uint32_t i) const;
  std::uint64_t LineOf(std::uint32_t i) const;
  Packed& At(std::uint32_t i) const;
  void Decode(std::uint32_t i, Entry* entry) const;
  void Grow();
  void Insert(std::uint32_t i, std::uint64_t hash);
  // The grid side of entry i: whether a grid line has claimed it, with its line and point.
  bool GridClaimed(std::uint32_t i, std::uint64_t* line, std::uint64_t* point) const;
  // Entry i's WGS-84 values go to the pairing slot, its room to grid line and point.
  void Claim(std::uint32_t i, std::uint64_t line, std::uint64_t point);
  void SetGridPoint(std::uint32_t i, std::uint64_t point);

  NameHash hash_;
  std::uint32_t size_ = 0;
  std::vector<std::unique_ptr<Packed[]>> blocks_;
  std::vector<std::unique_ptr<char[]>> arena_;
  std::size_t arena_used_ = 0;        // bytes of the last arena block
  std::vector<std::uint32_t> slots_;  // entry + 1, 0 when empty
  std::unordered_map<std::uint32_t, Wide> wide_;
  std::unordered_map<std::uint32_t, std::uint64_t> duplicate_lines_;
  Entry current_;                  // what Pair hands out
  std::uint32_t claimed_ = kNone;  // the entry whose WGS-84 values current_ holds
};

// The names of the grid file seen so far, to find one that comes again. A name the index holds
// is kept in its entry; the others (unpaired ones) here.
class GridNames {
 public:
  struct Seen {
    std::uint64_t line;
    std::size_t point;  // index into the point set, or kNoPoint when that line gave none
  };
  static constexpr std::size_t kNoPoint = static_cast<std::size_t>(-1);
  // Without an index, every name is kept here. With one, a name entered here is looked up in
  // index with Pair right after (before the next Enter): its WGS-84 values are then only there.
  explicit GridNames(Wgs84Index* index = nullptr) : index_(index) {}
  // Null when name is new (and now entered with line and point); else its first occurrence.
  const Seen* Enter(std::string_view name, std::uint64_t line, std::size_t point);
  // Corrects the point index of the occurrence just entered.
  void SetPoint(std::string_view name, std::size_t point);

 private:
  Wgs84Index* index_;
  Seen found_{};
  std::unordered_map<std::string, Seen> seen_;
};

}  // namespace zerb

#endif  // ZERB_PAIRING_PAIRING_H
