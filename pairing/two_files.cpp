// Two files paired by name; see two_files.h.
#include "pairing/two_files.h"

namespace zerb {

bool TwoFiles::ReadWgs84(RecordReader* reader, AngleFormat format) {
  const Columns& columns = reader->columns();
  for (int c : columns.passed)
    wgs84_titles_.push_back(columns.titles[c]);
  Record record;
  Reason reason;
  while (reader->Next(&record, &reason)) {
    // A refused line leaves the record unfilled: its views belong to an earlier line's buffer.
    const std::string_view name = reason.empty() ? Trim(record.value[kName]) : std::string_view();
    Wgs84Index::Entry entry;
    if (reason.empty() && name.empty())
      reason = "no point name";
    if (reason.empty())
      reason = ReadWgs84Point(record, columns, format, &entry.point);
    if (reason.empty()) {
      entry.line = record.line;
      entry.check = IsCheckPoint(record);
      for (std::string_view p : record.passed)
        entry.passed.emplace_back(p);
      reason = index_.Add(name, std::move(entry));
    }
    if (!reason.empty())
      d_->Refused(wgs84_source_, reader->line(), reason);
  }
  if (reader->failed()) {
    d_->Say(wgs84_source_ + ": read error: " + ErrnoText(reader->error()));
    return false;
  }
  return true;
}

const Wgs84Index::Entry* TwoFiles::Partner(const RecordReader& reader, const Record& record,
                                           const Reason& refused, std::size_t* withdraw) {
  *withdraw = kNoPoint;
  // A refused line leaves the record unfilled: its views belong to an earlier line's buffer.
  const std::string_view name = refused.empty() ? Trim(record.value[kName]) : std::string_view();
  if (!refused.empty() || name.empty()) {
    d_->Refused(grid_source_, reader.line(), refused.empty() ? "no point name" : refused);
    return nullptr;
  }
  if (const GridNames::Seen* seen = grid_names_.Enter(name, record.line, kNoPoint)) {
    *withdraw = seen->point;
    d_->Refused(grid_source_, record.line,
                "name " + Quoted(name) + " occurs again (first at line " +
                    std::to_string(seen->line) + "): both lines are refused");
    return nullptr;
  }
  const Wgs84Index::Entry* partner = index_.Pair(name);
  if (partner == nullptr) {
    // A line whose values cannot be read is refused for them; only a readable one is unpaired.
    GridPoint grid;
    if (Reason r = ReadGridPoint(record, reader.columns(), &grid); !r.empty())
      d_->Refused(grid_source_, record.line, r);
    else
      unpaired_.push_back({std::string(name), record.line, true});
    return nullptr;
  }
  if (partner->duplicate_line != 0) {
    d_->Refused(grid_source_, record.line,
                "its WGS-84 point is refused: " + Quoted(name) + " occurs twice in " +
                    wgs84_source_ + " (lines " + std::to_string(partner->line) + " and " +
                    std::to_string(partner->duplicate_line) + ")");
    return nullptr;
  }
  return partner;
}

std::string TwoFiles::PartnerPlace(const Wgs84Index::Entry& partner) const {
  return " (its WGS-84 point: " + wgs84_source_ + ", line " + std::to_string(partner.line) + ")";
}

std::vector<Unpaired> TwoFiles::Finish() {
  std::vector<Unpaired> wgs84_only = index_.NeverPaired();
  unpaired_.insert(unpaired_.end(), wgs84_only.begin(), wgs84_only.end());
  for (const Unpaired& u : unpaired_) {
    const std::string& file_name = u.in_grid ? grid_source_ : wgs84_source_;
    const std::string& other = u.in_grid ? wgs84_source_ : grid_source_;
    d_->Say(file_name + ", line " + std::to_string(u.line) + ": " + Quoted(u.name) + " is not in " +
            other + ": left unpaired");
  }
  return unpaired_;
}

}  // namespace zerb
