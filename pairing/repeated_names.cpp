// Names given more than once in one table; see repeated_names.h.
#include "pairing/repeated_names.h"

#include <algorithm>
#include <map>
#include <unordered_set>

namespace zerb {
void RepeatedNames::Note(std::string_view name, std::uint64_t line, bool gave_point) {
  if (gave_point)
    hashes_.push_back(hash_(name));
  else
    refused_.push_back({hash_(name), line, std::string(name)});
}

bool RepeatedNames::Find(TextSpool* spool, std::size_t points,
                         const std::function<std::uint64_t(std::size_t)>& line_of_point,
                         std::vector<Repeat>* repeats, std::vector<std::size_t>* withdraw) {
  repeats->clear();
  withdraw->clear();
  // The hashes more than one row has: only their rows can repeat a name. Sorting a million
  // hashes took a twentieth of reading them; two bitmaps over 22 bits of the hash (1 MiB) find
  // the few that may meet, which are moved to the front in place and sorted alone.
  constexpr int kBits = 22;
  std::vector<std::uint64_t> once(std::size_t{1} << (kBits - 6));
  std::vector<std::uint64_t> more(once.size());
  const auto mark = [&](std::uint64_t h) {
    const std::uint64_t b = h >> (64 - kBits);
    const std::uint64_t bit = std::uint64_t{1} << (b & 63);
    if (once[b >> 6] & bit)
      more[b >> 6] |= bit;
    once[b >> 6] |= bit;
  };
  const auto maybe_shared = [&](std::uint64_t h) {
    const std::uint64_t b = h >> (64 - kBits);
    return (more[b >> 6] >> (b & 63) & 1) != 0;
  };
  for (std::uint64_t h : hashes_)
    mark(h);
  for (const Refused& r : refused_)
    mark(r.hash);
  const auto end = std::partition(hashes_.begin(), hashes_.end(), maybe_shared);
  std::vector<std::uint64_t> refused_hashes;
  for (const Refused& r : refused_) {
    if (maybe_shared(r.hash))
      refused_hashes.push_back(r.hash);
  }
  std::vector<std::uint64_t>().swap(once);
  std::vector<std::uint64_t>().swap(more);
  std::sort(hashes_.begin(), end);
  std::sort(refused_hashes.begin(), refused_hashes.end());
  std::unordered_set<std::uint64_t> shared;
  bool points_shared = false;
  for (auto i = hashes_.begin(); i != end && i + 1 != end; ++i) {
    if (*i == *(i + 1)) {
      shared.insert(*i);
      points_shared = true;
    }
  }
  for (std::size_t i = 0; i < refused_hashes.size(); ++i) {
    const std::uint64_t h = refused_hashes[i];
    const bool with_point = std::binary_search(hashes_.begin(), end, h);
    if (with_point || (i + 1 < refused_hashes.size() && refused_hashes[i + 1] == h))
      shared.insert(h);
    points_shared = points_shared || with_point;
  }
  std::vector<std::uint64_t>().swap(hashes_);
  if (shared.empty())
    return true;

  // The rows of those hashes by name: refused ones from their kept names, the others read back
  // from the spool, which holds each point's name first, in the order the points were added.
  struct Named {
    std::uint64_t line;
    std::size_t point;  // kNone for a refused row
  };
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::map<std::string, std::vector<Named>> by_name;
  for (const Refused& r : refused_) {
    if (shared.count(r.hash) != 0)
      by_name[r.name].push_back({r.line, kNone});
  }
  if (points_shared) {
    if (spool == nullptr || !spool->Rewind())
      return false;
    std::vector<std::string> fields;
    for (std::size_t i = 0; i < points; ++i) {
      if (!spool->Read(&fields))
        return false;
      // A row without a name was never noted.
      const std::string_view name = fields.empty() ? std::string_view() : Trim(fields[0]);
      if (!name.empty() && shared.count(hash_(name)) != 0)
        by_name[std::string(name)].push_back({line_of_point(i), i});
    }
  }
  for (auto& [name, rows] : by_name) {
    if (rows.size() < 2)
      continue;
    std::sort(rows.begin(), rows.end(),
              [](const Named& a, const Named& b) { return a.line < b.line; });
    for (const Named& r : rows) {
      if (r.point != kNone)
        withdraw->push_back(r.point);
      if (r.line != rows.front().line)
        repeats->push_back({name, r.line, rows.front().line, r.point != kNone});
    }
  }
  std::sort(repeats->begin(), repeats->end(),
            [](const Repeat& a, const Repeat& b) { return a.line < b.line; });
  std::sort(withdraw->begin(), withdraw->end());
  return true;
}

}  // namespace zerb
