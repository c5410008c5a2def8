#include "fit/session.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "models/plausibility.h"
#include "points/grid_projection.h"
#include "text/translate.h"
#include "writers/limit_tally.h"
#include "writers/output.h"
#include "writers/plot.h"
#include "writers/report.h"
#include "writers/saved_definition.h"

namespace zerb::fit {
namespace {

// The use a point of the plane model's point set has from its role there.
PointUse UseOfRole(Role role) {
  switch (role) {
    case Role::kCheck:
      return PointUse::kCheck;
    case Role::kHorizontal:
      return PointUse::kHorizontal;
    case Role::kVertical:
      return PointUse::kVertical;
    default:
      return PointUse::kControl;
  }
}

}  // namespace

PointUse NextUse(PointUse use, bool plane) {
  // A one-fit use left from the plane model counts as control in the geocentric models.
  if (!plane && (use == PointUse::kHorizontal || use == PointUse::kVertical))
    use = PointUse::kControl;
  switch (use) {
    case PointUse::kControl:
      return PointUse::kCheck;
    case PointUse::kCheck:
      return plane ? PointUse::kHorizontal : PointUse::kOff;
    case PointUse::kHorizontal:
      return PointUse::kVertical;
    case PointUse::kVertical:
      return PointUse::kOff;
    case PointUse::kOff:
      break;
  }
  return PointUse::kControl;
}

Reason CheckOptions(const FitOptions& options) {
  if ((options.sigma_horizontal > 0) != (options.sigma_vertical > 0))
    return "先验中误差要么水平和高程都给出，要么都不给";
  if (!(options.alpha > 0 && options.alpha < 0.5))
    return "显著性水平须在 0 与 0.5 之间";
  if (Reason r = crs::CheckGridSystem(options.grid); !r.empty())
    return r;
  return ProjectionForSystem(ProjectionKind::kExact, options.grid, options.central_meridian);
}

FitOutcome::FitOutcome(const FitRequest& request)
    : request_(request), diagnostics_(std::make_unique<CollectedDiagnostics>()) {}

FitOutcome::~FitOutcome() = default;

std::unique_ptr<FitOutcome> FitOutcome::Compute(const FitRequest& request) {
  std::unique_ptr<FitOutcome> outcome(new FitOutcome(request));
  if (request.has_input())
    outcome->Fit();
  outcome->report_refused_ = outcome->Write(Format::kText, &outcome->report_);
  outcome->picture_refused_ = outcome->Draw(&outcome->picture_);
  return outcome;
}

void FitOutcome::Fit() {
  const FitOptions& o = request_.options;
  const bool plane_model = plane();
  if (!plane_model) {
    settings_.model = request_.model == FitModel::kSeven ? adjust::Model::kSevenParameter
                                                         : adjust::Model::kThreeParameter;
  }
  settings_.sigma_horizontal = o.sigma_horizontal;
  settings_.sigma_vertical = o.sigma_vertical;
  settings_.alpha_point = o.alpha;
  if (Reason r = CheckOptions(o); !r.empty()) {
    fit_error_ = Fill(Tr("no fit: {1}"), r);
    return;
  }

  InputSettings in;
  in.table = request_.table;
  in.grid = request_.grid;
  in.wgs84 = request_.wgs84;
  // The HTML report draws the points where the grid has them, and the table shows both sides.
  in.grid_positions = true;
  in.both_sides = true;
  in.plane_model = plane_model;
  in.reading.angle_format = o.angle_format;
  if (o.central_meridian != kNoMeridian) {
    in.reading.default_meridian = o.central_meridian;
    in.reading.meridian_of_the_grid = true;
  }
  in.gnss_datum = o.gnss_datum;
  in.grid_system = o.grid;
  for (const auto& [name, use] : request_.uses) {
    switch (use) {
      case PointUse::kCheck:
        in.check_names.push_back(name);
        break;
      case PointUse::kOff:
        in.left_out_names.push_back(name);
        break;
      // A one-fit use is the plane model's; the geocentric models take the point whole.
      case PointUse::kHorizontal:
        if (plane_model)
          in.horizontal_names.push_back(name);
        break;
      case PointUse::kVertical:
        if (plane_model)
          in.vertical_names.push_back(name);
        break;
      case PointUse::kControl:
        break;
    }
  }
  points_ = std::make_unique<PointSet>();
  gathered_ =
      GatherPoints(in, nullptr, diagnostics_.get(), points_.get(), &summary_) == Gathered::kPoints;
  messages_ = diagnostics_->Lines();
  if (gathered_) {
    Reason r;
    if (plane_model) {
      PlaneSettings plane;
      plane.fix_scale = o.fix_scale;
      plane.height_fit = o.height_fit;
      // The GNSS points are projected on their own datum's ellipsoid.
      if (o.gnss_datum == GnssDatum::kCgcs2000)
        plane.gnss_inverse_flattening = kGrs80InverseFlattening;
      plane.grid = summary_.grid_system;
      plane_fit_ = std::make_unique<PlaneFit>();
      r = FitPlane(*points_, settings_, plane, plane_fit_.get());
    } else {
      fit_ = std::make_unique<adjust::FitResult>();
      r = FitPoints(*points_, settings_, fit_.get());
    }
    if (!r.empty())
      fit_error_ = Fill(Tr("no fit: {1}"), r);
    else
      fitted_ = true;
  }
  CollectRows();
}

void FitOutcome::CollectRows() {
  const bool plane_model = plane();
  rows_.reserve((gathered_ ? points_->usable() : 0) + summary_.left_out.size());
  if (gathered_) {
    ReportInput in;
    in.points = points_.get();
    in.fit = fitted_ && !plane_model ? fit_.get() : nullptr;
    PointWalk walk(in);
    while (walk.Next()) {
      PointRow row;
      row.line = walk.line();
      row.name = std::string(walk.name());
      row.has_sides = points_->has_plane_records();
      if (row.has_sides)
        row.sides = points_->plane(walk.index());
      if (fitted_ && plane_model) {
        row.fitted = true;
        row.plane = PointOf(*plane_fit_, walk.index());
        row.use = UseOfRole(row.sides.role);
      } else if (fitted_) {
        row.fitted = true;
        row.result = walk.result();
        row.use = row.result.check ? PointUse::kCheck : PointUse::kControl;
      } else if (const auto use = request_.uses.find(row.name); use != request_.uses.end()) {
        row.use = use->second;
      } else if (row.has_sides) {
        row.use = UseOfRole(row.sides.role);
      }
      rows_.push_back(std::move(row));
    }
    if (!walk.ok()) {
      fitted_ = false;
      fit_error_ = Tr(kSpoolUnreadable);
    }
  }
  const auto walked = static_cast<std::ptrdiff_t>(rows_.size());
  for (const LeftOut& l : summary_.left_out) {
    PointRow row;
    row.line = l.line;
    row.name = l.name;
    row.use = PointUse::kOff;
    row.has_sides = true;
    row.sides = l.sides;
    rows_.push_back(std::move(row));
  }
  // The points come in line order (the one table's, or the grid file's, which pairing walks) and
  // so do those left out: merging them is all the sorting a refit at 10 000 points needs.
  const auto by_line = [](const PointRow& a, const PointRow& b) { return a.line < b.line; };
  std::inplace_merge(rows_.begin(), rows_.begin() + walked, rows_.end(), by_line);
}

bool FitOutcome::WithinTheLimits(const PointRow& row) const {
  if (!row.fitted)
    return true;
  const ResidualLimits& limits = request_.limits;
  if (plane())
    return WithinLimits(limits, PlaneHorizontal(row.plane), PlaneVertical(row.plane));
  const adjust::PointResult& r = row.result;
  return WithinLimits(limits, HorizontalResidual(r), r.residual_neu.z);
}

CheckResiduals FitOutcome::Checks() const {
  if (!fitted_)
    return {};
  return plane() ? CheckResidualsOf(*plane_fit_) : CheckResidualsOf(*points_, *fit_);
}

ReportInput FitOutcome::Report(Format format) const {
  ReportInput in;
  in.format = format;
  in.points = points_.get();
  in.settings = &settings_;
  in.input = &summary_;
  in.refused = diagnostics_->refused();
  in.limits = request_.limits;
  in.program = "zerb-fit " ZERB_VERSION;
  in.diagnostics = &diagnostics_->kept();
  return in;
}

Reason FitOutcome::Render(Format format, std::string* text) const {
  if (format != Format::kText)
    return Write(format, text);
  *text = report_;
  return report_refused_;
}

Reason FitOutcome::Picture(std::string* svg) const {
  *svg = picture_;
  return picture_refused_;
}

Reason FitOutcome::Write(Format format, std::string* text) const {
  text->clear();
  if (!fitted_)
    return fit_error_.empty() ? std::string("没有拟合结果：读入的问题见消息面板") : fit_error_;
  // A shift to WGS 84 cannot carry a fit whose GNSS side is another datum.
  if (Reason r = FormatForDatum(format, summary_.gnss_datum); !r.empty())
    return r;
  if (plane())
    return RenderPlane(format, text);
  std::vector<Implausible> implausible = ImplausibleParameters(*fit_, settings_);
  if (!implausible.empty() && format != Format::kText) {
    // TRANSLATORS: {1} lists the parameters beyond their limits, as "rx = 25.1 arc-seconds".
    return Fill(Tr("the fitted parameters cannot be a transformation between two geodetic datums "
                   "({1}): the input is read wrongly somewhere (angle format, central meridian, "
                   "columns, or points that are not the same); nothing exported"),
                ImplausibleList(implausible, Tr));
  }
  ReportInput in = Report(format);
  in.fit = fit_.get();
  in.convention = request_.convention;
  in.implausible = std::move(implausible);
  OutputString out;
  Reason r;
  switch (format) {
    case Format::kText:
      r = WriteText(in, out.output());
      break;
    case Format::kHtml:
      r = WriteHtml(in, out.output());
      break;
    case Format::kTowgs84:
    case Format::kProj:
    case Format::kWkt:
      r = WriteExport(in, out.output());
      break;
    case Format::kCrsProj:
    case Format::kCrsWkt1:
    case Format::kCrsWkt2:
    case Format::kCrsProjJson:
    case Format::kPipeline:
      r = WriteDefinition(in, out.output());
      break;
    case Format::kCsv:
      r = WriteCsv(in, out.output());
      break;
    case Format::kJson:
      r = WriteJson(in, out.output());
      break;
    case Format::kParameters:
      return Tr(
          "--format parameters lists the plane model's parameters (--model 4); the 3 and 7 "
          "parameters are written by towgs84, proj or wkt");
  }
  if (!r.empty())
    return r;
  *text = out.text();
  return {};
}

GridArea FitOutcome::FittedArea() const {
  if (!fitted_)
    return {};
  ReportInput in;
  in.points = points_.get();
  in.fit = plane() ? nullptr : fit_.get();
  in.plane = plane() ? plane_fit_.get() : nullptr;
  in.input = &summary_;
  return DefinitionArea(in);
}

Reason FitOutcome::Draw(std::string* svg) const {
  svg->clear();
  if (!fitted_)
    return "没有拟合结果，没有残差图";
  if (plane())
    return "四参数模型没有残差图";
  return DrawPlotText(*points_, *fit_, svg);
}

Reason FitOutcome::RenderPlane(Format format, std::string* text) const {
  ReportInput in = Report(format);
  in.plane = plane_fit_.get();
  OutputString out;
  if (Reason r = WritePlane(in, out.output()); !r.empty())
    return r;
  *text = out.text();
  return {};
}

Session::Session() : shown_(FitOutcome::Compute(request_)) {}
Session::~Session() = default;

void Session::OpenTable(const std::string& table) {
  request_.table = table;
  request_.grid.clear();
  request_.wgs84.clear();
  request_.uses.clear();
}

void Session::OpenPair(const std::string& grid, const std::string& wgs84) {
  request_.table.clear();
  request_.grid = grid;
  request_.wgs84 = wgs84;
  request_.uses.clear();
}

std::string Session::input_name() const {
  return request_.table.empty() ? request_.grid + " + " + request_.wgs84 : request_.table;
}

void Session::SetUse(const std::string& name, PointUse use) {
  request_.uses[name] = use;
}

PointUse Session::UseOf(const std::string& name) const {
  if (const auto use = request_.uses.find(name); use != request_.uses.end())
    return use->second;
  for (const PointRow& row : rows()) {
    if (row.name == name)
      return row.use;
  }
  return PointUse::kControl;
}

Reason Session::SetOptions(const FitOptions& options) {
  refused_options_ = CheckOptions(options);
  if (refused_options_.empty())
    request_.options = options;
  return refused_options_;
}

bool Session::ShowsTheInput() const {
  const FitRequest& shown = shown_->request();
  return shown.table == request_.table && shown.grid == request_.grid &&
         shown.wgs84 == request_.wgs84;
}

bool Session::Refit() {
  Show(FitOutcome::Compute(request_));
  return has_fit();
}

void Session::Show(std::shared_ptr<const FitOutcome> outcome) {
  shown_ = std::move(outcome);
}

}  // namespace zerb::fit
