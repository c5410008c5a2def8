// Pairing by name; see pairing.h.
#include "pairing/pairing.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "text/translate.h"

namespace zerb {
namespace {

constexpr std::size_t kBlock = 4096;                        // entries a block
constexpr std::size_t kArenaBlock = std::size_t{1} << 20;   // bytes a text block, offsets 20 bits
constexpr std::size_t kArenaBlocks = std::size_t{1} << 12;  // blocks the 32-bit position reaches

// Packed flags.
constexpr std::uint8_t kLatitudeNegative = 1;
constexpr std::uint8_t kLatitudeBare = 2;
constexpr std::uint8_t kLongitudeNegative = 4;
constexpr std::uint8_t kLongitudeBare = 8;
constexpr std::uint8_t kCheck = 16;
constexpr std::uint8_t kPaired = 32;
constexpr std::uint8_t kClaimed = 64;  // a grid line has taken the name: seconds hold it
constexpr std::uint8_t kWide = 128;    // kept whole in wide_
// Packed more.
constexpr std::uint8_t kDuplicate = 1;
constexpr std::uint8_t kHorizontalOnly = 2;
constexpr std::uint8_t kVerticalOnly = 4;

std::size_t VarintSize(std::size_t n) {
  std::size_t size = 1;
  for (; n >= 0x80; n >>= 7)
    ++size;
  return size;
}

char* PutVarint(char* p, std::size_t n) {
  for (; n >= 0x80; n >>= 7)
    *p++ = static_cast<char>((n & 0x7F) | 0x80);
  *p++ = static_cast<char>(n);
  return p;
}

const char* GetVarint(const char* p, std::size_t* n) {
  std::size_t value = 0;
  for (int shift = 0;; shift += 7) {
    const auto b = static_cast<unsigned char>(*p++);
    value |= static_cast<std::size_t>(b & 0x7F) << shift;
    if ((b & 0x80) == 0)
      break;
  }
  *n = value;
  return p;
}

bool Packable(const Angle& a) {
  return a.deg >= 0 && a.deg <= 0xFFFF && a.min >= 0 && a.min <= 0xFF;
}

}  // namespace

Wgs84Index::Wgs84Index(NameHash hash) : hash_(hash) {}
Wgs84Index::~Wgs84Index() = default;

Wgs84Index::Packed& Wgs84Index::At(std::uint32_t i) const {
  return blocks_[i / kBlock][i % kBlock];
}

std::string_view Wgs84Index::NameOf(std::uint32_t i) const {
  const Packed& p = At(i);
  if (p.flags & kWide)
    return wide_.at(i).name;
  const char* text = arena_[p.text >> 20].get() + (p.text & (kArenaBlock - 1));
  std::size_t size;
  text = GetVarint(text, &size);
  return {text, size};
}

std::uint64_t Wgs84Index::LineOf(std::uint32_t i) const {
  const Packed& p = At(i);
  return p.flags & kWide ? wide_.at(i).entry.line : p.line;
}

std::uint32_t Wgs84Index::Find(std::string_view name) const {
  if (slots_.empty())
    return kNone;
  const std::size_t mask = slots_.size() - 1;
  const int bits = std::countr_zero(slots_.size());
  // Fibonacci hashing spreads a hash whose low bits are poor over the table.
  std::size_t at = static_cast<std::size_t>((hash_(name) * 0x9E3779B97F4A7C15u) >> (64 - bits));
  for (;; at = (at + 1) & mask) {
    const std::uint32_t slot = slots_[at];
    if (slot == 0)
      return kNone;
    if (NameOf(slot - 1) == name)
      return slot - 1;
  }
}

void Wgs84Index::Insert(std::uint32_t i, std::uint64_t hash) {
  const std::size_t mask = slots_.size() - 1;
  const int bits = std::countr_zero(slots_.size());
  std::size_t at = static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15u) >> (64 - bits));
  while (slots_[at] != 0)
    at = (at + 1) & mask;
  slots_[at] = i + 1;
}

// Doubles the table at half load, where a linear probe takes about 1.5 steps for a name found
// and 2.5 for one that is not.
void Wgs84Index::Grow() {
  slots_.assign(std::max<std::size_t>(64, slots_.size() * 2), 0);
  for (std::uint32_t i = 0; i < size_; ++i)
    Insert(i, hash_(NameOf(i)));
}

Reason Wgs84Index::Add(std::string_view name, Entry entry) {
  if (const std::uint32_t first = Find(name); first != kNone) {
    Packed& p = At(first);
    if (!(p.more & kDuplicate)) {
      p.more |= kDuplicate;
      duplicate_lines_[first] = entry.line;
    }
    // TRANSLATORS: {1} is a point name in quotes, {2} a line number.
    return Fill(Tr("name {1} occurs again (first at line {2}): both lines are refused"),
                Quoted(name), LineOf(first));
  }
  // An index of 2^32 - 1 points would take some 170 GB: the 32-bit numbering does not run out.
  const std::uint32_t i = size_++;
  if (i % kBlock == 0)
    blocks_.push_back(std::make_unique<Packed[]>(kBlock));
  Packed& p = At(i);
  p = Packed{};
  p.flags = entry.role == Role::kCheck ? kCheck : 0;
  p.more = entry.role == Role::kHorizontal ? kHorizontalOnly
           : entry.role == Role::kVertical ? kVerticalOnly
                                           : 0;

  std::size_t size = VarintSize(name.size()) + name.size() + VarintSize(entry.passed.size());
  for (const std::string& f : entry.passed)
    size += VarintSize(f.size()) + f.size();
  // A text never straddles two blocks; one too long for any block is kept whole on the side.
  if (arena_.empty() ||
      (arena_used_ + size > kArenaBlock && size <= kArenaBlock && arena_.size() < kArenaBlocks)) {
    arena_.push_back(std::make_unique<char[]>(kArenaBlock));
    arena_used_ = 0;
  }
  const bool fits = entry.line <= 0xFFFFFFFFu && Packable(entry.point.latitude) &&
                    Packable(entry.point.longitude) && arena_used_ + size <= kArenaBlock;
  if (fits) {
    const Angle& lat = entry.point.latitude;
    const Angle& lon = entry.point.longitude;
    p.seconds[0] = std::bit_cast<std::uint64_t>(lat.sec);
    p.seconds[1] = std::bit_cast<std::uint64_t>(lon.sec);
    p.height = entry.point.height;
    p.line = static_cast<std::uint32_t>(entry.line);
    p.degrees[0] = static_cast<std::uint16_t>(lat.deg);
    p.degrees[1] = static_cast<std::uint16_t>(lon.deg);
    p.minutes[0] = static_cast<std::uint8_t>(lat.min);
    p.minutes[1] = static_cast<std::uint8_t>(lon.min);
    p.flags |= (lat.negative ? kLatitudeNegative : 0) | (lat.bare_number ? kLatitudeBare : 0) |
               (lon.negative ? kLongitudeNegative : 0) | (lon.bare_number ? kLongitudeBare : 0);
    p.text = static_cast<std::uint32_t>((arena_.size() - 1) << 20 | arena_used_);
    char* out = arena_.back().get() + arena_used_;
    out = PutVarint(out, name.size());
    std::memcpy(out, name.data(), name.size());
    out = PutVarint(out + name.size(), entry.passed.size());
    for (const std::string& f : entry.passed) {
      out = PutVarint(out, f.size());
      std::memcpy(out, f.data(), f.size());
      out += f.size();
    }
    arena_used_ += size;
  } else {
    p.flags |= kWide;
    entry.duplicate_line = 0;
    entry.paired = false;
    wide_.emplace(i, Wide{std::move(entry), std::string(name)});
  }
  if (std::size_t{size_} * 2 > slots_.size())
    Grow();
  else
    Insert(i, hash_(name));
  return {};
}

void Wgs84Index::Decode(std::uint32_t i, Entry* entry) const {
  const Packed& p = At(i);
  if (p.flags & kWide) {
    const Entry& whole = wide_.at(i).entry;
    entry->line = whole.line;
    entry->point = whole.point;
    entry->passed = whole.passed;
  } else {
    entry->line = p.line;
    Angle& lat = entry->point.latitude;
    Angle& lon = entry->point.longitude;
    lat.sec = std::bit_cast<double>(p.seconds[0]);
    lon.sec = std::bit_cast<double>(p.seconds[1]);
    lat.deg = p.degrees[0];
    lon.deg = p.degrees[1];
    lat.min = p.minutes[0];
    lon.min = p.minutes[1];
    lat.negative = (p.flags & kLatitudeNegative) != 0;
    lat.bare_number = (p.flags & kLatitudeBare) != 0;
    lon.negative = (p.flags & kLongitudeNegative) != 0;
    lon.bare_number = (p.flags & kLongitudeBare) != 0;
    entry->point.height = p.height;
    const char* text = arena_[p.text >> 20].get() + (p.text & (kArenaBlock - 1));
    std::size_t size;
    text = GetVarint(text, &size);
    text = GetVarint(text + size, &size);
    entry->passed.resize(size);
    for (std::string& f : entry->passed) {
      text = GetVarint(text, &size);
      f.assign(text, size);
      text += size;
    }
  }
  if (p.flags & kClaimed)
    entry->point = Wgs84Point{};  // the room holds the grid side now
  entry->role = (p.flags & kCheck)           ? Role::kCheck
                : (p.more & kHorizontalOnly) ? Role::kHorizontal
                : (p.more & kVerticalOnly)   ? Role::kVertical
                                             : Role::kControl;
  entry->paired = (p.flags & kPaired) != 0;
  entry->duplicate_line = (p.more & kDuplicate) ? duplicate_lines_.at(i) : 0;
}

Wgs84Index::Entry* Wgs84Index::Pair(std::string_view name) {
  std::uint32_t i = claimed_ != kNone && NameOf(claimed_) == name ? claimed_ : Find(name);
  if (i == kNone)
    return nullptr;
  At(i).flags |= kPaired;
  if (i != claimed_) {
    Decode(i, &current_);
    claimed_ = kNone;
  }
  current_.paired = true;
  return &current_;
}

bool Wgs84Index::GridClaimed(std::uint32_t i, std::uint64_t* line, std::uint64_t* point) const {
  const Packed& p = At(i);
  if (!(p.flags & kClaimed))
    return false;
  *line = p.seconds[0];
  *point = p.seconds[1];
  return true;
}

void Wgs84Index::Claim(std::uint32_t i, std::uint64_t line, std::uint64_t point) {
  Decode(i, &current_);
  claimed_ = i;
  Packed& p = At(i);
  p.seconds[0] = line;
  p.seconds[1] = point;
  p.flags |= kClaimed;
}

void Wgs84Index::SetGridPoint(std::uint32_t i, std::uint64_t point) {
  At(i).seconds[1] = point;
}

std::vector<Unpaired> Wgs84Index::NeverPaired() const {
  std::vector<Unpaired> list;
  for (std::uint32_t i = 0; i < size_; ++i) {
    const Packed& p = At(i);
    if (!(p.flags & kPaired) && !(p.more & kDuplicate))
      list.push_back({std::string(NameOf(i)), LineOf(i), false});
  }
  std::sort(list.begin(), list.end(),
            [](const Unpaired& a, const Unpaired& b) { return a.line < b.line; });
  return list;
}

const GridNames::Seen* GridNames::Enter(std::string_view name, std::uint64_t line,
                                        std::size_t point) {
  if (index_ != nullptr) {
    if (const std::uint32_t i = index_->Find(name); i != Wgs84Index::kNone) {
      std::uint64_t first_line, first_point;
      if (index_->GridClaimed(i, &first_line, &first_point)) {
        found_ = {first_line, static_cast<std::size_t>(first_point)};
        return &found_;
      }
      index_->Claim(i, line, point);
      return nullptr;
    }
  }
  const auto [it, inserted] = seen_.try_emplace(std::string(name), Seen{line, point});
  return inserted ? nullptr : &it->second;
}

void GridNames::SetPoint(std::string_view name, std::size_t point) {
  if (index_ != nullptr) {
    const std::uint32_t claimed = index_->claimed_;
    const std::uint32_t i = claimed != Wgs84Index::kNone && index_->NameOf(claimed) == name
                                ? claimed
                                : index_->Find(name);
    if (i != Wgs84Index::kNone) {
      index_->SetGridPoint(i, point);
      return;
    }
  }
  const auto it = seen_.find(std::string(name));
  if (it != seen_.end())
    it->second.point = point;
}

}  // namespace zerb
