#include "fit/session.h"

#include <algorithm>
#include <cmath>

#include "models/plausibility.h"
#include "text/translate.h"
#include "writers/limit_tally.h"
#include "writers/output.h"
#include "writers/plot.h"
#include "writers/report.h"
#include "writers/saved_definition.h"

namespace zerb::fit {

Session::Session() = default;
Session::~Session() = default;

void Session::OpenTable(const std::string& table) {
  table_ = table;
  grid_.clear();
  wgs84_.clear();
  uses_.clear();
}

void Session::OpenPair(const std::string& grid, const std::string& wgs84) {
  table_.clear();
  grid_ = grid;
  wgs84_ = wgs84;
  uses_.clear();
}

std::string Session::input_name() const {
  return table_.empty() ? grid_ + " + " + wgs84_ : table_;
}

void Session::SetModel(FitModel model) {
  plane_ = model == FitModel::kPlane;
  if (!plane_)
    settings_.model =
        model == FitModel::kSeven ? adjust::Model::kSevenParameter : adjust::Model::kThreeParameter;
}

void Session::SetUse(const std::string& name, PointUse use) {
  uses_[name] = use;
}

void Session::Clear() {
  fit_.reset();
  plane_fit_.reset();
  points_.reset();
  summary_ = InputSummary();
  diagnostics_ = std::make_unique<CollectedDiagnostics>();
  gathered_ = false;
  fitted_ = false;
  fit_error_.clear();
  rows_.clear();
  messages_.clear();
}

bool Session::Refit() {
  Clear();
  if (!has_input())
    return false;
  InputSettings in;
  in.table = table_;
  in.grid = grid_;
  in.wgs84 = wgs84_;
  // The HTML report draws the points where the grid has them.
  in.grid_positions = true;
  in.plane_model = plane_;
  for (const auto& [name, use] : uses_) {
    if (use == PointUse::kCheck)
      in.check_names.push_back(name);
    else if (use == PointUse::kOff)
      in.left_out_names.push_back(name);
  }
  points_ = std::make_unique<PointSet>();
  gathered_ =
      GatherPoints(in, nullptr, diagnostics_.get(), points_.get(), &summary_) == Gathered::kPoints;
  messages_ = diagnostics_->Lines();
  if (gathered_) {
    Reason r;
    if (plane_) {
      PlaneSettings plane;
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
  return fitted_;
}

void Session::CollectRows() {
  if (gathered_) {
    ReportInput in;
    in.points = points_.get();
    in.fit = fitted_ && !plane_ ? fit_.get() : nullptr;
    PointWalk walk(in);
    while (walk.Next()) {
      PointRow row;
      row.line = walk.line();
      row.name = std::string(walk.name());
      if (fitted_ && plane_) {
        row.fitted = true;
        row.plane = PointOf(*plane_fit_, walk.index());
        row.use = points_->plane(walk.index()).role == Role::kCheck ? PointUse::kCheck
                                                                    : PointUse::kControl;
      } else if (fitted_) {
        row.fitted = true;
        row.result = walk.result();
        row.use = row.result.check ? PointUse::kCheck : PointUse::kControl;
      } else if (const auto use = uses_.find(row.name); use != uses_.end()) {
        row.use = use->second;
      }
      rows_.push_back(std::move(row));
    }
    if (!walk.ok()) {
      fitted_ = false;
      fit_error_ = Tr(kSpoolUnreadable);
    }
  }
  for (const LeftOut& l : summary_.left_out) {
    PointRow row;
    row.line = l.line;
    row.name = l.name;
    row.use = PointUse::kOff;
    rows_.push_back(std::move(row));
  }
  std::stable_sort(rows_.begin(), rows_.end(),
                   [](const PointRow& a, const PointRow& b) { return a.line < b.line; });
}

bool Session::WithinTheLimits(const PointRow& row) const {
  if (!row.fitted)
    return true;
  if (plane_)
    return WithinLimits(limits_, PlaneHorizontal(row.plane), PlaneVertical(row.plane));
  const adjust::PointResult& r = row.result;
  return WithinLimits(limits_, HorizontalResidual(r), r.residual_neu.z);
}

Reason Session::Render(Format format, std::string* text) const {
  text->clear();
  if (!fitted_)
    return fit_error_.empty() ? std::string("没有拟合结果：读入的问题见消息面板") : fit_error_;
  // A shift to WGS 84 cannot carry a fit whose GNSS side is another datum.
  if (Reason r = FormatForDatum(format, summary_.gnss_datum); !r.empty())
    return r;
  if (plane_)
    return RenderPlane(format, text);
  std::vector<Implausible> implausible = ImplausibleParameters(*fit_, settings_);
  if (!implausible.empty() && format != Format::kText) {
    // TRANSLATORS: {1} lists the parameters beyond their limits, as "rx = 25.1 arc-seconds".
    return Fill(Tr("the fitted parameters cannot be a transformation between two geodetic datums "
                   "({1}): the input is read wrongly somewhere (angle format, central meridian, "
                   "columns, or points that are not the same); nothing exported"),
                ImplausibleList(implausible, Tr));
  }
  ReportInput in;
  in.format = format;
  in.points = points_.get();
  in.fit = fit_.get();
  in.settings = &settings_;
  in.convention = convention_;
  in.input = &summary_;
  in.refused = diagnostics_->refused();
  in.implausible = std::move(implausible);
  in.limits = limits_;
  in.program = "zerb-fit " ZERB_VERSION;
  in.diagnostics = &diagnostics_->kept();
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

GridArea Session::FittedArea() const {
  if (!fitted_)
    return {};
  ReportInput in;
  in.points = points_.get();
  in.fit = plane_ ? nullptr : fit_.get();
  in.plane = plane_ ? plane_fit_.get() : nullptr;
  in.input = &summary_;
  return DefinitionArea(in);
}

Reason Session::Picture(std::string* svg) const {
  svg->clear();
  if (!fitted_ || plane_)
    return "四参数模型没有残差图";
  return DrawPlotText(*points_, *fit_, svg);
}

Reason Session::RenderPlane(Format format, std::string* text) const {
  ReportInput in;
  in.format = format;
  in.points = points_.get();
  in.plane = plane_fit_.get();
  in.settings = &settings_;
  in.input = &summary_;
  in.refused = diagnostics_->refused();
  in.limits = limits_;
  in.program = "zerb-fit " ZERB_VERSION;
  in.diagnostics = &diagnostics_->kept();
  OutputString out;
  if (Reason r = WritePlane(in, out.output()); !r.empty())
    return r;
  *text = out.text();
  return {};
}

}  // namespace zerb::fit
