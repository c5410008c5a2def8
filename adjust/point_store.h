// Storage of the common points in fixed blocks, so memory grows by whole blocks and is never
// copied: a vector that doubles would hold up to three times the data while it moves. Per point
// 57 bytes: K and d (six doubles), the caller's tag and one byte of flags.
#ifndef ZERB_ADJUST_POINT_STORE_H
#define ZERB_ADJUST_POINT_STORE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "adjust/adjust.h"

namespace zerb::adjust {

// Flag bits of a stored point.
inline constexpr std::uint8_t kCheckPoint = 1;  // never in a fit
inline constexpr std::uint8_t kFlagged = 2;     // failed the outlier test
inline constexpr std::uint8_t kOutOfFit = 4;    // left out of the current fit

class PointStore {
 public:
  static constexpr std::size_t kBlock = 4096;

  void Add(const Vec3& local, const Vec3& shift, std::uint64_t tag, std::uint8_t flags) {
    if (size_ % kBlock == 0)
      blocks_.push_back(std::make_unique<Block>());
    Block& b = *blocks_.back();
    const std::size_t j = size_ % kBlock;
    b.k[0][j] = local.x;
    b.k[1][j] = local.y;
    b.k[2][j] = local.z;
    b.d[0][j] = shift.x;
    b.d[1][j] = shift.y;
    b.d[2][j] = shift.z;
    b.tag[j] = tag;
    b.flags[j] = flags;
    ++size_;
  }

  std::size_t size() const { return size_; }
  Vec3 local(std::size_t i) const {
    const Block& b = *blocks_[i / kBlock];
    const std::size_t j = i % kBlock;
    return {b.k[0][j], b.k[1][j], b.k[2][j]};
  }
  Vec3 shift(std::size_t i) const {
    const Block& b = *blocks_[i / kBlock];
    const std::size_t j = i % kBlock;
    return {b.d[0][j], b.d[1][j], b.d[2][j]};
  }
  std::uint64_t tag(std::size_t i) const { return blocks_[i / kBlock]->tag[i % kBlock]; }
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
        f(Vec3{b.k[0][j], b.k[1][j], b.k[2][j]}, Vec3{b.d[0][j], b.d[1][j], b.d[2][j]},
          bi * kBlock + j);
      }
    }
  }

 private:
  struct Block {
    double k[3][kBlock];
    double d[3][kBlock];
    std::uint64_t tag[kBlock];
    std::uint8_t flags[kBlock];
  };
  std::vector<std::unique_ptr<Block>> blocks_;
  std::size_t size_ = 0;
};

}  // namespace zerb::adjust

#endif  // ZERB_ADJUST_POINT_STORE_H
