// Blocks of points to convert; see convert_table.h.
#include "readers/convert_table.h"

#include "readers/point_values.h"

namespace zerb {

ConvertTable::ConvertTable(RecordReader* reader, Side side, AngleFormat angles,
                           EastingForm eastings, std::string source, Diagnostics* diagnostics)
    : reader_(reader),
      side_(side),
      angles_(angles),
      eastings_(eastings),
      source_(std::move(source)),
      diagnostics_(diagnostics) {
  const Columns& c = reader_->columns();
  origin_.assign(c.titles.size(), -1);
  for (int f = 0; f < kFieldCount; ++f) {
    if (c.index[f] >= 0)
      origin_[c.index[f]] = f;
  }
  for (std::size_t k = 0; k < c.passed.size(); ++k)
    origin_[c.passed[k]] = kFieldCount + static_cast<int>(k);
}

std::size_t ConvertTable::ReadBlock(std::size_t max, std::vector<ConvertRow>* rows) {
  std::size_t n = 0;
  Record record;
  Reason reason;
  const Columns& columns = reader_->columns();
  if (rows->size() < max)
    rows->resize(max);
  while (n < max && reader_->Next(&record, &reason)) {
    ++records_;
    if (!reason.empty()) {
      ++refused_;
      diagnostics_->Refused(source_, reader_->line(), reason);
      reason.clear();
      continue;
    }
    ConvertRow& row = (*rows)[n];
    row.line = record.line;
    if (side_ == Side::kWgs84) {
      Wgs84Point point;
      reason = ReadWgs84Point(record, columns, angles_, &point);
      row.x = Degrees(point.longitude);
      row.y = Degrees(point.latitude);
      row.z = point.height;
      row.zone = row.zone_meridian = 0;
    } else {
      GridPoint point;
      reason = ReadGridPoint(record, columns, eastings_, &point);
      row.x = point.y;
      row.y = point.x;
      row.z = point.h;
      row.zone = point.zone;
      row.zone_meridian = point.zone_meridian;
    }
    if (!reason.empty()) {
      ++refused_;
      diagnostics_->Refused(source_, record.line, reason);
      reason.clear();
      continue;
    }
    row.cells.resize(origin_.size());
    for (std::size_t i = 0; i < origin_.size(); ++i) {
      const int o = origin_[i];
      const std::string_view cell =
          o < 0             ? std::string_view()
          : o < kFieldCount ? record.value[o]
                            : (static_cast<std::size_t>(o - kFieldCount) < record.passed.size()
                                   ? record.passed[o - kFieldCount]
                                   : std::string_view());
      row.cells[i].assign(cell.data(), cell.size());
    }
    ++n;
  }
  return n;
}

}  // namespace zerb
