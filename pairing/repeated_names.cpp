// Names given more than once in one table; see repeated_names.h.
#include "pairing/repeated_names.h"

#include <algorithm>
#include <functional>
#include <map>
#include <unordered_set>

namespace zerb {

void RepeatedNames::Note(std::string_view name, std::uint64_t line, bool gave_point) {
  rows_.push_back({std::hash<std::string_view>()(name), line << 1 | (gave_point ? 1 : 0)});
  if (!gave_point)
    refused_names_.emplace(line, name);
}

bool RepeatedNames::Find(TextSpool* spool, std::vector<Repeat>* repeats,
                         std::vector<std::size_t>* withdraw) {
  repeats->clear();
  withdraw->clear();
  std::sort(rows_.begin(), rows_.end(), [](const Row& a, const Row& b) { return a.hash < b.hash; });
  // The hashes more than one row has: only their rows can repeat a name.
  std::unordered_set<std::uint64_t> shared;
  for (std::size_t i = 0; i + 1 < rows_.size(); ++i) {
    if (rows_[i].hash == rows_[i + 1].hash)
      shared.insert(rows_[i].hash);
  }
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
  for (const Row& r : rows_) {
    if (!(r.line_and_point & 1) && shared.count(r.hash) != 0) {
      const std::uint64_t line = r.line_and_point >> 1;
      by_name[refused_names_[line]].push_back({line, kNone});
    }
  }
  // Back in line order, the rows that gave a point are numbered as the points were added; those
  // with a shared hash get their names back from the spool, which holds each point's name first.
  std::sort(rows_.begin(), rows_.end(),
            [](const Row& a, const Row& b) { return a.line_and_point < b.line_and_point; });
  std::map<std::size_t, std::uint64_t> line_of_point;
  std::size_t points = 0;
  for (const Row& r : rows_) {
    if (!(r.line_and_point & 1))
      continue;
    if (shared.count(r.hash) != 0)
      line_of_point.emplace(points, r.line_and_point >> 1);
    ++points;
  }
  if (spool == nullptr || !spool->Rewind())
    return false;
  std::vector<std::string> fields;
  for (std::size_t i = 0; i < points && !line_of_point.empty(); ++i) {
    if (!spool->Read(&fields))
      return false;
    const auto named = line_of_point.find(i);
    if (named == line_of_point.end())
      continue;
    const std::string_view name = fields.empty() ? std::string_view() : Trim(fields[0]);
    by_name[std::string(name)].push_back({named->second, i});
    line_of_point.erase(named);
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
