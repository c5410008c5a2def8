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
  std::sort(hashes_.begin(), hashes_.end());
  std::vector<std::uint64_t> refused_hashes;
  for (const Refused& r : refused_)
    refused_hashes.push_back(r.hash);
  std::sort(refused_hashes.begin(), refused_hashes.end());
  // The hashes more than one row has: only their rows can repeat a name.
  std::unordered_set<std::uint64_t> shared;
  for (std::size_t i = 0; i + 1 < hashes_.size(); ++i) {
    if (hashes_[i] == hashes_[i + 1])
      shared.insert(hashes_[i]);
  }
  for (std::size_t i = 0; i < refused_hashes.size(); ++i) {
    const std::uint64_t h = refused_hashes[i];
    if ((i + 1 < refused_hashes.size() && refused_hashes[i + 1] == h) ||
        std::binary_search(hashes_.begin(), hashes_.end(), h))
      shared.insert(h);
  }
  if (shared.empty())
    return true;
  const bool points_shared = std::any_of(shared.begin(), shared.end(), [&](std::uint64_t h) {
    return std::binary_search(hashes_.begin(), hashes_.end(), h);
  });
  std::vector<std::uint64_t>().swap(hashes_);

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
