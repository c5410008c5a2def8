// Storage of the common points in fixed blocks, so memory grows by whole blocks and is never
// copied: a vector that doubles would hold up to three times the data while it moves. Per point
// 41 bytes: d in three doubles, kept bit for bit; K as single-precision offsets from the first
// point's K, the caller's tag in 32 bits (a larger one is kept on the side) and one byte of
// flags. K enters the shift only multiplied by the rotations and the scale (below 1e-5 in size),
// so the offsets' rounding, at most 0.25 m over 5000 km and 2 cm over 300 km, changes a modelled
// shift by less than 3 micrometres; a million points fit in 41 MB.
#ifndef ZERB_ADJUST_POINT_STORE_H
#define ZERB_ADJUST_POINT_STORE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "adjust/adjust.h"

namespace zerb::adjust {

// Flag bits of a stored point.
inline constexpr std::uint8_t kCheckPoint = 1;  // never in a fit
inline constexpr std::uint8_t kFlagged = 2;     // failed the outlier test
inline constexpr std::uint8_t kOutOfFit = 4;    // left out of the current fit
inline constexpr std::uint8_t kWithdrawn = 8;   // taken back by the caller: as if never added

class PointStore {
 public:
  static constexpr std::size_t kBlock = 4096;

  void Add(const Vec3& local, const Vec3& shift, std::uint64_t tag, std::uint8_t flags) {
    if (size_ == 0)
      origin_ = local;
    if (size_ % kBlock == 0)
      blocks_.push_back(std::make_unique<Block>());
    Block& b = *blocks_.back();
    const std::size_t j = size_ % kBlock;
    b.k[0][j] = static_cast<float>(local.x - origin_.x);
    b.k[1][j] = static_cast<float>(local.y - origin_.y);
    b.k[2][j] = static_cast<float>(local.z - origin_.z);
    b.d[0][j] = shift.x;
    b.d[1][j] = shift.y;
    b.d[2][j] = shift.z;
    if (tag < kWideTag) {
      b.tag[j] = static_cast<std::uint32_t>(tag);
    } else {
      b.tag[j] = kWideTag;
      wide_tags_.emplace(size_, tag);
    }
    b.flags[j] = flags;
    ++size_;
  }

  std::size_t size() const { return size_; }
  Vec3 local(std::size_t i) const {
    const Block& b = *blocks_[i / kBlock];
    const std::size_t j = i % kBlock;
    return Local(b, j);
  }
  Vec3 shift(std::size_t i) const {
    const Block& b = *blocks_[i / kBlock];
    const std::size_t j = i % kBlock;
    return {b.d[0][j], b.d[1][j], b.d[2][j]};
  }
  std::uint64_t tag(std::size_t i) const {
    const std::uint32_t t = blocks_[i / kBlock]->tag[i % kBlock];
    return t == kWideTag ? wide_tags_.at(i) : t;
  }
  std::uint8_t flags(std::size_t i) const { return blocks_[i / kBlock]->flags[i % kBlock]; }
  void set_flags(std::size_t i, std::uint8_t f) { blocks_[i / kBlock]->flags[i % kBlock] = f; }

  // Calls f(local, shift, index) for every point whose flags have none of the bits in skip.
  template <class F>
  void ForEach(std::uint8_t skip, F&& f) const {
    for (std::size_t bi = 0; bi < blocks_.size(); ++bi) {
      const Block& b = *blocks_[bi];
      const std::size_t count = bi + 1 < blocks_.size() ? kBlock : size_ - bi * kBlock;
      for (std::size_t j = 0; j < count; ++j) {
        if (b.flags[j] & skip)
          continue;
        f(Local(b, j), Vec3{b.d[0][j], b.d[1][j], b.d[2][j]}, bi * kBlock + j);
      }
    }
  }

 private:
  struct Block {
    float k[3][kBlock];
    double d[3][kBlock];
    std::uint32_t tag[kBlock];
    std::uint8_t flags[kBlock];
  };
  Vec3 Local(const Block& b, std::size_t j) const {
    return {origin_.x + b.k[0][j], origin_.y + b.k[1][j], origin_.z + b.k[2][j]};
  }

  static constexpr std::uint32_t kWideTag = 0xFFFFFFFFu;  // the tag is in wide_tags_

  std::vector<std::unique_ptr<Block>> blocks_;
  std::unordered_map<std::size_t, std::uint64_t> wide_tags_;
  std::size_t size_ = 0;
  Vec3 origin_;
};

}  // namespace zerb::adjust

#endif  // ZERB_ADJUST_POINT_STORE_H
