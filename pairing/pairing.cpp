// Pairing by name; see pairing.h.
#include "pairing/pairing.h"

#include <algorithm>

#include "text/translate.h"

namespace zerb {

Reason Wgs84Index::Add(std::string_view name, Entry entry) {
  const auto [it, inserted] = entries_.try_emplace(std::string(name), std::move(entry));
  if (inserted)
    return {};
  Entry& first = it->second;
  if (first.duplicate_line == 0)
    first.duplicate_line = entry.line;
  // TRANSLATORS: {1} is a point name in quotes, {2} a line number.
  return Fill(Tr("name {1} occurs again (first at line {2}): both lines are refused"), Quoted(name),
              first.line);
}

Wgs84Index::Entry* Wgs84Index::Pair(std::string_view name) {
  const auto it = entries_.find(std::string(name));
  if (it == entries_.end())
    return nullptr;
  it->second.paired = true;
  return &it->second;
}

std::vector<Unpaired> Wgs84Index::NeverPaired() const {
  std::vector<Unpaired> list;
  for (const auto& [name, entry] : entries_) {
    if (!entry.paired && entry.duplicate_line == 0)
      list.push_back({name, entry.line, false});
  }
  std::sort(list.begin(), list.end(),
            [](const Unpaired& a, const Unpaired& b) { return a.line < b.line; });
  return list;
}

const GridNames::Seen* GridNames::Enter(std::string_view name, std::uint64_t line,
                                        std::size_t point) {
  const auto [it, inserted] = seen_.try_emplace(std::string(name), Seen{line, point});
  return inserted ? nullptr : &it->second;
}

void GridNames::SetPoint(std::string_view name, std::size_t point) {
  const auto it = seen_.find(std::string(name));
  if (it != seen_.end())
    it->second.point = point;
}

}  // namespace zerb
