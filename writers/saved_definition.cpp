// The definition and area zerb-convert takes; see saved_definition.h.
#include "writers/saved_definition.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "points/convert_checks.h"
#include "text/translate.h"

namespace zerb {
namespace {

void Take(double east, double north, GridArea* area) {
  if (area->points == 0) {
    area->min_east = area->max_east = east;
    area->min_north = area->max_north = north;
  }
  area->min_east = std::min(area->min_east, east);
  area->max_east = std::max(area->max_east, east);
  area->min_north = std::min(area->min_north, north);
  area->max_north = std::max(area->max_north, north);
  ++area->points;
}

Reason WriteFile(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr)
    return Fill(Tr("cannot write {1}: {2}"), Printable(path), ErrnoText(errno));
  std::fwrite(text.data(), 1, text.size(), f);
  const bool failed = std::ferror(f) != 0;
  if (std::fclose(f) != 0 || failed)
    return Fill(Tr("cannot write {1}: {2}"), Printable(path), ErrnoText(errno));
  return {};
}

}  // namespace

// The eastings carry the zone number the CRS's false easting carries, and none for the plane
// model's pipeline, whose similarity is fitted to eastings of 500000 m false easting.
GridArea DefinitionArea(const ReportInput& report) {
  GridArea area;
  const double zone = report.input != nullptr ? report.input->zone * 1e6 : 0;
  PointSet& points = *report.points;
  if (report.plane != nullptr) {
    const adjust::PointFitResult& fit = report.plane->horizontal;
    const bool by_fit = !fit.empty() && fit.size() == points.added();
    for (std::size_t i = 0; i < points.added() && points.has_plane_records(); ++i) {
      const PlaneRecord& r = points.plane(i);
      if (points.withdrawn(i) || r.role == Role::kCheck || (by_fit && !fit.Point(i).used))
        continue;
      Take(r.east, r.north, &area);
    }
    return area;
  }
  if (report.fit == nullptr)
    return area;
  for (std::size_t i = 0; i < report.fit->size() && i < points.added(); ++i) {
    if (!points.withdrawn(i) && report.fit->Point(i).used)
      Take(points.east(i) + zone, points.north(i), &area);
  }
  return area;
}

Format SavedForm(Format printed, bool plane) {
  if (printed == Format::kCrsWkt2 || printed == Format::kCrsProjJson ||
      printed == Format::kPipeline)
    return printed;
  return plane ? Format::kPipeline : Format::kCrsWkt2;
}

Reason SaveDefinition(const ReportInput& report, const std::string& path) {
  ReportInput saved = report;
  saved.format = SavedForm(report.format, report.plane != nullptr);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr)
    return Fill(Tr("cannot write {1}: {2}"), Printable(path), ErrnoText(errno));
  Reason r = WriteReport(saved, f);
  const bool failed = std::ferror(f) != 0;
  if (std::fclose(f) != 0 || (failed && r.empty()))
    r = Fill(Tr("cannot write {1}: {2}"), Printable(path), ErrnoText(errno));
  if (!r.empty()) {
    std::remove(path.c_str());
    return r;
  }
  const GridArea area = DefinitionArea(report);
  if (area.points == 0)
    return {};
  return WriteFile(path + ".area", AreaText(area));
}

}  // namespace zerb
