// What the window works on: the input files, the use the user gave each point, the model and its
// convention; and the library's answer to them. Every change is followed by Refit, which reads
// the files again and fits again, so that what is shown is always the library's whole answer to
// the settings as they stand (reading a few hundred points takes milliseconds).
#ifndef ZERB_FIT_SESSION_H
#define ZERB_FIT_SESSION_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "adjust/adjust.h"
#include "fit/collected_diagnostics.h"
#include "models/model.h"
#include "models/plane_model.h"
#include "models/residual_limits.h"
#include "points/convert_checks.h"
#include "points/gather.h"
#include "points/point_set.h"
#include "text/text.h"
#include "writers/format.h"
#include "writers/plane_points.h"

namespace zerb::fit {

// How the user wants a point used: in the fit, as a check against it, or not at all.
enum class PointUse { kControl, kCheck, kOff };

// Three translations, the seven Bursa-Wolf parameters, or the plane similarity with its height
// fit.
enum class FitModel { kThree, kSeven, kPlane };

// One row of the point table. A point left out has only its line, name and use.
struct PointRow {
  std::uint64_t line = 0;
  std::string name;
  PointUse use = PointUse::kControl;
  bool fitted = false;  // result (three or seven parameters) or plane holds the point's results
  adjust::PointResult result;
  PlanePoint plane;
};

class Session {
 public:
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // A new input; the uses given to the points of the one before are forgotten.
  void OpenTable(const std::string& table);
  void OpenPair(const std::string& grid, const std::string& wgs84);
  bool has_input() const { return !table_.empty() || !grid_.empty(); }
  // The name of the input for the window's title.
  std::string input_name() const;

  void SetUse(const std::string& name, PointUse use);
  void SetModel(FitModel model);
  bool plane() const { return plane_; }
  void SetConvention(Convention convention) { convention_ = convention; }
  // The residual limits (水平限差, 高程限差) each point is held against; they judge the points and
  // change no fit.
  void SetLimits(const ResidualLimits& limits) { limits_ = limits; }
  const ResidualLimits& limits() const { return limits_; }
  // Whether a fitted point is within the limits, as the reports judge it.
  bool WithinTheLimits(const PointRow& row) const;
  Convention convention() const { return convention_; }

  // Reads the input again and fits; false when no fit came of it, and why is in fit_error() or
  // among the messages.
  bool Refit();
  bool has_fit() const { return fitted_; }
  const std::string& fit_error() const { return fit_error_; }
  // The fit of three or seven parameters, or of the plane model.
  const adjust::Solution& solution() const { return fit_->solution(); }
  const PlaneFit& plane_fit() const { return *plane_fit_; }
  // The points in input order, those left out among them; the messages of the last reading.
  const std::vector<PointRow>& rows() const { return rows_; }
  const std::vector<std::string>& messages() const { return messages_; }

  // The library's output of the fit in the format, or why it gives none: no fit, parameters no
  // transformation between two geodetic datums can have, a definition PROJ cannot build.
  Reason Render(Format format, std::string* text) const;
  // The rectangle of the points in the final fit, as zerb-shift --save writes it beside the
  // definition for zerb-convert's warnings; no points in it without a fit.
  GridArea FittedArea() const;
  // The residual picture of a three- or seven-parameter fit, as the library draws it in SVG; the
  // plane model has none.
  Reason Picture(std::string* svg) const;

 private:
  void Clear();
  void CollectRows();
  Reason RenderPlane(Format format, std::string* text) const;

  std::string table_;
  std::string grid_;
  std::string wgs84_;
  std::map<std::string, PointUse> uses_;
  adjust::Settings settings_;
  ResidualLimits limits_;
  Convention convention_ = Convention::kPositionVector;
  bool plane_ = false;

  // The fit reads the points it was solved on: it goes before them.
  std::unique_ptr<PointSet> points_;
  InputSummary summary_;
  std::unique_ptr<CollectedDiagnostics> diagnostics_;
  std::unique_ptr<adjust::FitResult> fit_;
  std::unique_ptr<PlaneFit> plane_fit_;
  bool gathered_ = false;
  bool fitted_ = false;
  std::string fit_error_;
  std::vector<PointRow> rows_;
  std::vector<std::string> messages_;
};

}  // namespace zerb::fit

#endif  // ZERB_FIT_SESSION_H
