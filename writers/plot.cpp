// The residual picture; see plot.h.
#include "writers/plot.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "models/model.h"
#include "text/translate.h"
#include "writers/output.h"
#include "writers/residual_plot.h"

namespace zerb {

Reason DrawPlot(std::FILE* file, PointSet& points, const adjust::FitResult& fit) {
  const adjust::Solution& s = fit.solution();
  PlotFrame frame;
  frame.points = points.usable();
  bool first = true;
  for (std::size_t i = 0; i < fit.size(); ++i) {
    if (points.withdrawn(i))
      continue;
    const adjust::PointResult r = fit.Point(i);
    const double n = points.north(i);
    const double e = points.east(i);
    if (first) {
      frame.min_north = frame.max_north = n;
      frame.min_east = frame.max_east = e;
      first = false;
    }
    frame.min_north = std::min(frame.min_north, n);
    frame.max_north = std::max(frame.max_north, n);
    frame.min_east = std::min(frame.min_east, e);
    frame.max_east = std::max(frame.max_east, e);
    frame.max_horizontal =
        std::max(frame.max_horizontal, std::hypot(r.residual_neu.x, r.residual_neu.y));
    frame.max_vertical = std::max(frame.max_vertical, std::fabs(r.residual_neu.z));
  }
  // TRANSLATORS: the picture's title: {1} is the model's name, {2} sigma0, {3} the number of
  // points ("5 points").
  frame.title = Fill(Tr("{1}, sigma0 {2}, {3}"), Tr(ModelName(s.model)),
                     s.a_priori ? std::to_string(s.sigma0).substr(0, 5) : Fixed(s.sigma0) + " m",
                     Counted(s.points_used, "{1} point", "{1} points"));
  Reason reason;
  {
    ResidualPlot plot(file, frame);
    TextSpool* spool = points.spool();
    std::vector<std::string> fields;
    bool spool_ok = spool == nullptr || spool->Rewind();
    for (std::size_t i = 0; i < fit.size(); ++i) {
      if (spool_ok && spool != nullptr)
        spool_ok = spool->Read(&fields);
      if (points.withdrawn(i))
        continue;
      const adjust::PointResult r = fit.Point(i);
      PlotPoint p;
      p.north = points.north(i);
      p.east = points.east(i);
      p.v_north = r.residual_neu.x;
      p.v_east = r.residual_neu.y;
      p.v_up = r.residual_neu.z;
      p.flagged = r.flagged;
      p.check = r.check;
      if (spool_ok && points.has_name() && !fields.empty())
        p.name = fields[0];
      plot.Add(p);
    }
    reason = plot.Finish();
  }
  return reason;
}

Reason WritePlot(const std::string& path, PointSet& points, const adjust::FitResult& fit) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr)
    return Fill(Tr("cannot write {1}: {2}"), Printable(path), std::strerror(errno));
  Reason reason = DrawPlot(file, points, fit);
  if (std::fclose(file) != 0 && reason.empty())
    reason = std::strerror(errno);
  if (!reason.empty())
    return Fill(Tr("cannot write {1}: {2}"), Printable(path), reason);
  return {};
}

Reason DrawPlotText(PointSet& points, const adjust::FitResult& fit, std::string* svg) {
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* memory = open_memstream(&buffer, &size);
  if (memory == nullptr)
    return Tr("cannot draw the residual picture in memory");
  Reason r = DrawPlot(memory, points, fit);
  std::fclose(memory);
  svg->assign(buffer, size);
  std::free(buffer);
  return r;
}

}  // namespace zerb
