// What the window works on: the request (the input files, the use the user gave each point, the
// model and every setting of the model panel), and the library's answer to it, an outcome made
// whole from the request by reading the files again and fitting again. The outcome is made apart
// from the window (FitOutcome::Compute touches nothing else, so it may run on another thread)
// and then shown as a whole, so that what the window shows is always the library's whole answer
// to one set of settings.
#ifndef ZERB_FIT_SESSION_H
#define ZERB_FIT_SESSION_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "adjust/adjust.h"
#include "crs/grid_system.h"
#include "fit/collected_diagnostics.h"
#include "models/model.h"
#include "models/plane_model.h"
#include "models/residual_limits.h"
#include "points/convert_checks.h"
#include "points/gather.h"
#include "points/gnss_datum.h"
#include "points/point_set.h"
#include "readers/angle.h"
#include "text/text.h"
#include "writers/check_residuals.h"
#include "writers/format.h"
#include "writers/plane_points.h"
#include "writers/report.h"

namespace zerb::fit {

// How the user wants a point used: in the fit, as a check against it, not at all, or (the plane
// model only) in its horizontal fit or its height fit alone.
enum class PointUse { kControl, kCheck, kOff, kHorizontal, kVertical };

// The use that follows in the table's cycle: 控制点 → 检核点 → 不用, and with the plane model
// 控制点 → 检核点 → 仅平面 → 仅高程 → 不用.
PointUse NextUse(PointUse use, bool plane);

// Three translations, the seven Bursa-Wolf parameters, or the plane similarity with its height
// fit.
enum class FitModel { kThree, kSeven, kPlane };

// The settings of the model panel beyond the model, as zerb-shift's options give them.
struct FitOptions {
  // A-priori accuracy of one coordinate, metres (--sigma); both 0: estimated from the fit.
  double sigma_horizontal = 0;
  double sigma_vertical = 0;
  double alpha = 0.001;  // each point's test (--alpha)
  AngleFormat angle_format = AngleFormat::kAuto;
  GnssDatum gnss_datum = GnssDatum::kWgs84;
  crs::GridSystem grid;                   // --ellipsoid, --false-easting, ...
  double central_meridian = kNoMeridian;  // degrees (--central-meridian); none: from L0 or zone
  HeightFit height_fit = HeightFit::kAuto;
  bool fix_scale = false;
};

// Whether the options can be used together, as zerb-shift checks its options; the refusal in
// the language of the messages, or an empty text. The plane model's own (fix_scale, height_fit)
// are simply not used by the others.
Reason CheckOptions(const FitOptions& options);

// Everything one fit is made from.
struct FitRequest {
  std::string table;
  std::string grid;
  std::string wgs84;
  std::map<std::string, PointUse> uses;
  FitModel model = FitModel::kThree;
  Convention convention = Convention::kPositionVector;
  ResidualLimits limits;
  FitOptions options;

  bool has_input() const { return !table.empty() || !grid.empty(); }
};

// One row of the point table. A point left out by the user has no results, but its sides as
// read.
struct PointRow {
  std::uint64_t line = 0;
  std::string name;
  PointUse use = PointUse::kControl;
  bool fitted = false;  // result (three or seven parameters) or plane holds the point's results
  adjust::PointResult result;
  PlanePoint plane;
  bool has_sides = false;
  PlaneRecord sides;  // the grid's north and east (no zone number), h; the GNSS side
};

// The library's answer to one request; it does not change once made.
class FitOutcome {
 public:
  // Reads the request's input and fits it. Safe on any thread: it uses only the request and
  // what it makes.
  static std::unique_ptr<FitOutcome> Compute(const FitRequest& request);
  ~FitOutcome();
  FitOutcome(const FitOutcome&) = delete;
  FitOutcome& operator=(const FitOutcome&) = delete;

  const FitRequest& request() const { return request_; }
  bool plane() const { return request_.model == FitModel::kPlane; }
  bool has_fit() const { return fitted_; }
  const std::string& fit_error() const { return fit_error_; }
  const adjust::Solution& solution() const { return fit_->solution(); }
  const PlaneFit& plane_fit() const { return *plane_fit_; }
  const std::vector<PointRow>& rows() const { return rows_; }
  const std::vector<std::string>& messages() const { return messages_; }
  // The zone number the grid file's eastings carried (0: none), to show them as they were read.
  int zone() const { return summary_.zone; }
  bool WithinTheLimits(const PointRow& row) const;
  CheckResiduals Checks() const;
  // The text report and the picture are made with the fit, off the window's thread; the other
  // forms when asked for.
  Reason Render(Format format, std::string* text) const;
  GridArea FittedArea() const;
  Reason Picture(std::string* svg) const;

 private:
  explicit FitOutcome(const FitRequest& request);
  void Fit();
  void CollectRows();
  Reason Write(Format format, std::string* text) const;
  Reason Draw(std::string* svg) const;
  Reason RenderPlane(Format format, std::string* text) const;
  // What every report and export of the fit is given about it.
  ReportInput Report(Format format) const;

  FitRequest request_;
  adjust::Settings settings_;
  // The fit reads the points it was solved on: declared after them, it is destroyed first.
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
  std::string report_;
  Reason report_refused_;
  std::string picture_;
  Reason picture_refused_;
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
  bool has_input() const { return request_.has_input(); }
  // The name of the input for the window's title.
  std::string input_name() const;

  void SetUse(const std::string& name, PointUse use);
  // The use the user chose last for the point of that name, else the one the shown fit gave it
  // (from a role column, or control).
  PointUse UseOf(const std::string& name) const;
  void SetModel(FitModel model) { request_.model = model; }
  void SetConvention(Convention convention) { request_.convention = convention; }
  // The residual limits (水平限差, 高程限差) each point is held against; they judge the points and
  // change no fit.
  void SetLimits(const ResidualLimits& limits) { request_.limits = limits; }
  // The refusal when the options cannot be used (the request keeps its options then, and
  // refused_options says why until options that can be used come), else an empty text.
  Reason SetOptions(const FitOptions& options);
  // The panel's fields cannot even be read as options: the same as a refusal.
  void RefuseOptions(const std::string& why) { refused_options_ = why; }
  const FitRequest& request() const { return request_; }
  // The request of the fit shown.
  const FitRequest& shown_request() const { return shown_->request(); }
  // Whether the fit shown is of the input the request names: false from opening another input
  // until its fit arrives, while the table still shows the points of the one before.
  bool ShowsTheInput() const;
  // Why the model panel's settings as the user left them are not those of the request (a value
  // that could not be used), or an empty text. Nothing should be saved then: it would be the fit
  // of other settings than those on the screen.
  const std::string& refused_options() const { return refused_options_; }

  // Fits the request as it stands and shows the answer at once.
  bool Refit();
  // Shows an outcome computed elsewhere from a request of this session.
  void Show(std::shared_ptr<const FitOutcome> outcome);

  // What is shown: the answer to the request last fitted, which a change may since have
  // outdated until the next fit arrives.
  bool plane() const { return shown_->plane(); }
  Convention convention() const { return shown_->request().convention; }
  const ResidualLimits& limits() const { return shown_->request().limits; }
  bool WithinTheLimits(const PointRow& row) const { return shown_->WithinTheLimits(row); }
  bool has_fit() const { return shown_->has_fit(); }
  const std::string& fit_error() const { return shown_->fit_error(); }
  // The fit of three or seven parameters, or of the plane model.
  const adjust::Solution& solution() const { return shown_->solution(); }
  const PlaneFit& plane_fit() const { return shown_->plane_fit(); }
  // The points in input order, those left out among them; the messages of the last reading.
  const std::vector<PointRow>& rows() const { return shown_->rows(); }
  const std::vector<std::string>& messages() const { return shown_->messages(); }
  int zone() const { return shown_->zone(); }
  CheckResiduals Checks() const { return shown_->Checks(); }

  // The library's output of the fit in the format, or why it gives none: no fit, parameters no
  // transformation between two geodetic datums can have, a definition PROJ cannot build.
  Reason Render(Format format, std::string* text) const { return shown_->Render(format, text); }
  // The rectangle of the points in the final fit, as zerb-shift --save writes it beside the
  // definition for zerb-convert's warnings; no points in it without a fit.
  GridArea FittedArea() const { return shown_->FittedArea(); }
  // The residual picture of a three- or seven-parameter fit, as the library draws it in SVG; the
  // plane model has none.
  Reason Picture(std::string* svg) const { return shown_->Picture(svg); }

 private:
  FitRequest request_;
  std::string refused_options_;
  std::shared_ptr<const FitOutcome> shown_;
};

}  // namespace zerb::fit

#endif  // ZERB_FIT_SESSION_H
