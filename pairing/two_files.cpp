// Two files paired by name; see two_files.h.
#include "pairing/two_files.h"

#include "text/translate.h"

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
      reason = Tr("no point name");
    if (reason.empty())
      reason = ReadWgs84Point(record, columns, format, &entry.point);
    if (reason.empty())
      reason = ReadRole(record, columns, &entry.role);
    if (reason.empty()) {
      entry.line = record.line;
      for (std::string_view p : record.passed)
        entry.passed.emplace_back(p);
      reason = index_.Add(name, std::move(entry));
    }
    if (!reason.empty())
      d_->Refused(wgs84_source_, reader->line(), reason);
  }
  if (reader->failed()) {
    d_->Say(Fill(Tr("{1}: read error: {2}"), wgs84_source_, ErrnoText(reader->error())));
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
    d_->Refused(grid_source_, reader.line(),
                refused.empty() ? Reason(Tr("no point name")) : refused);
    return nullptr;
  }
  if (const GridNames::Seen* seen = grid_names_.Enter(name, record.line, kNoPoint)) {
    *withdraw = seen->point;
    d_->Refused(grid_source_, record.line,
                Fill(Tr("name {1} occurs again (first at line {2}): both lines are refused"),
                     Quoted(name), seen->line));
    return nullptr;
  }
  const Wgs84Index::Entry* partner = index_.Pair(name);
  if (partner == nullptr) {
    // A line whose values cannot be read is refused for them; only a readable one is unpaired.
    GridPoint grid;
    if (Reason r = ReadGridPoint(record, reader.columns(), eastings_, &grid); !r.empty())
      d_->Refused(grid_source_, record.line, r);
    else
      unpaired_.push_back({std::string(name), record.line, true});
    return nullptr;
  }
  if (partner->duplicate_line != 0) {
    d_->Refused(grid_source_, record.line,
                // TRANSLATORS: {1} is a name in quotes, {2} a file name, {3} and {4} line numbers.
                Fill(Tr("its WGS-84 point is refused: {1} occurs twice in {2} (lines {3} and {4})"),
                     Quoted(name), wgs84_source_, partner->line, partner->duplicate_line));
    return nullptr;
  }
  return partner;
}

Reason TwoFiles::AtPartner(const Reason& reason, const Wgs84Index::Entry& partner) const {
  // TRANSLATORS: {1} is the reason, {2} the WGS-84 file's name, {3} a line number in it.
  return Fill(Tr("{1} (its WGS-84 point: {2}, line {3})"), reason, wgs84_source_, partner.line);
}

std::vector<Unpaired> TwoFiles::Finish() {
  std::vector<Unpaired> wgs84_only = index_.NeverPaired();
  unpaired_.insert(unpaired_.end(), wgs84_only.begin(), wgs84_only.end());
  for (const Unpaired& u : unpaired_) {
    const std::string& file_name = u.in_grid ? grid_source_ : wgs84_source_;
    const std::string& other = u.in_grid ? wgs84_source_ : grid_source_;
    // TRANSLATORS: {1} and {4} are file names, {2} a line number, {3} a point name in quotes.
    d_->Say(Fill(Tr("{1}, line {2}: {3} is not in {4}: left unpaired"), file_name, u.line,
                 Quoted(u.name), other));
  }
  return unpaired_;
}

}  // namespace zerb
