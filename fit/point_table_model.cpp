#include "fit/point_table_model.h"

#include <QBrush>
#include <QColor>
#include <QEventLoop>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>

#include "writers/output.h"
#include "writers/plane_points.h"
#include "writers/report.h"

namespace zerb::fit {
namespace {

// Both sides of the point as read come after the name, the same for every model.
constexpr int kSides = PointTableModel::kNorth - PointTableModel::kGridNorth;

constexpr const char* kTitles[PointTableModel::kColumns - kSides] = {
    "行号", "点名", "vN (m)",  "vE (m)",   "vU (m)", "v (m)",
    "r",    "T",    "MDB (m)", "粗差标记", "用途",   "限差"};
constexpr const char* kTips[PointTableModel::kColumns - kSides] = {
    "输入文件中的行号（两个文件时为网格文件的行号）",
    "点名",
    "残差，北方向",
    "残差，东方向",
    "残差，天顶方向",
    "残差长度",
    "多余观测分量（三个分量之和，0 至 3）",
    "粗差检验统计量",
    "最小可探测粗差（三个方向中最大者）",
    "被粗差检验标记的点",
    "控制点参与拟合；检核点不参与拟合，只与拟合结果比较；不用的点照常读入和检查，但不参与拟合，并在"
    "报告中列出；四参数模型另有仅平面、仅高程：只参与平面拟合或高程拟合",
    "平面残差和高程残差与模型面板中的水平限差、高程限差比较：通过或超限",
};

constexpr const char* kSideTitles[kSides] = {"x (m)", "y (m)", "h (m)", "B", "L", "H (m)"};
constexpr const char* kSideTips[kSides] = {
    "网格北坐标 x", "网格东坐标 y（文件中带带号时含带号）",
    "网格高程 h",   "GNSS 纬度 B",
    "GNSS 经度 L",  "GNSS 大地高 H",
};

// The plane model's columns where the geocentric models have their residuals and tests: the
// horizontal fit's, then the height fit's; line, name, flag and use stay where they are.
constexpr const char* kPlaneTitles[PointTableModel::kColumns - kSides] = {
    "行号", "点名",   "vN (m)",    "vE (m)",   "v (m)", "r",
    "T",    "vH (m)", "T（高程）", "粗差标记", "用途",  "限差"};
constexpr const char* kPlaneTips[PointTableModel::kColumns - kSides] = {
    "输入文件中的行号（两个文件时为网格文件的行号）",
    "点名",
    "平面残差，北方向",
    "平面残差，东方向",
    "平面残差长度",
    "平面拟合的多余观测分量（两个分量之和，0 至 2）",
    "平面拟合的粗差检验统计量",
    "高程拟合残差",
    "高程拟合的粗差检验统计量",
    "被平面或高程粗差检验标记的点",
    kTips[PointTableModel::kUse - kSides],
    kTips[PointTableModel::kLimits - kSides],
};

// The largest of the three minimal detectable biases, as the text report gives it.
double LargestMdb(const adjust::PointResult& r) {
  return std::max(std::max(r.mdb_neu.x, r.mdb_neu.y), r.mdb_neu.z);
}

// The value shown in a column, and the number a proxy sorts it by; an empty text for a value
// the point does not have.
struct Cell {
  QString text;
  QVariant sort;
};

Cell Number(double value, bool shown, const std::string& text) {
  if (!shown)
    return {QString(), QVariant()};
  return {QString::fromStdString(text), value};
}

// Both sides as read: the grid's easting with the zone number the file gave it, the angles in
// degrees, minutes and seconds to 1e-6″ (0.03 mm).
Cell SideCell(const PointRow& row, int column, int zone) {
  if (!row.has_sides)
    return {QString(), QVariant()};
  const PlaneRecord& p = row.sides;
  constexpr double kArcSeconds = 3600 * 180 / std::numbers::pi;
  switch (column) {
    case PointTableModel::kGridNorth:
      return Number(p.north, true, Fixed(p.north));
    case PointTableModel::kGridEast: {
      const double east = p.east + zone * 1e6;
      return Number(east, true, Fixed(east));
    }
    case PointTableModel::kGridHeight:
      return Number(p.height, true, Fixed(p.height));
    case PointTableModel::kLatitude:
      return Number(p.latitude, true, Dms(p.latitude * kArcSeconds));
    case PointTableModel::kLongitude:
      return Number(p.longitude, true, Dms(p.longitude * kArcSeconds));
    default:
      return Number(p.gnss_height, true, Fixed(p.gnss_height));
  }
}

bool IsSide(int column) {
  return column >= PointTableModel::kGridNorth && column < PointTableModel::kNorth;
}

// The title or tip of a column: the sides' own, else the model's, whose lists skip the sides.
QString HeaderText(int column, bool plane, bool tip) {
  if (IsSide(column))
    return QString::fromUtf8((tip ? kSideTips : kSideTitles)[column - PointTableModel::kGridNorth]);
  const int i = column < PointTableModel::kGridNorth ? column : column - kSides;
  return QString::fromUtf8(plane ? (tip ? kPlaneTips : kPlaneTitles)[i]
                                 : (tip ? kTips : kTitles)[i]);
}

Cell CellOf(const PointRow& row, int column) {
  const adjust::PointResult& r = row.result;
  const bool result = row.fitted;
  switch (column) {
    case PointTableModel::kLine:
      return {QString::number(row.line), QVariant::fromValue<qulonglong>(row.line)};
    case PointTableModel::kName:
      return {QString::fromStdString(row.name), QString::fromStdString(row.name)};
    case PointTableModel::kNorth:
      return Number(r.residual_neu.x, result, Fixed(r.residual_neu.x));
    case PointTableModel::kEast:
      return Number(r.residual_neu.y, result, Fixed(r.residual_neu.y));
    case PointTableModel::kUp:
      return Number(r.residual_neu.z, result, Fixed(r.residual_neu.z));
    case PointTableModel::kLength:
      return Number(r.residual_length, result, Fixed(r.residual_length));
    case PointTableModel::kRedundancy:
      return Number(r.redundancy, result && r.used, zerb::Number("%.2f", r.redundancy));
    case PointTableModel::kTest:
      return Number(r.test_statistic, result && r.tested, zerb::Number("%.2f", r.test_statistic));
    case PointTableModel::kMdb: {
      const double mdb = LargestMdb(r);
      return Number(mdb, result && r.tested && std::isfinite(mdb), Fixed(mdb));
    }
    case PointTableModel::kFlagged:
      return {result && r.flagged ? QStringLiteral("是") : QString(), result && r.flagged};
    case PointTableModel::kUse:
      return {PointTableModel::UseName(row.use), static_cast<int>(row.use)};
    case PointTableModel::kLimits:
      return {};  // the session judges it (LimitsCell)
  }
  return {};
}

// 通过 or 超限 for a fitted point when limits are set, else nothing; outside sorts first.
Cell LimitsCell(const Session& session, const PointRow& row) {
  if (!session.limits().any() || !row.fitted)
    return {QString(), QVariant()};
  const bool within = session.WithinTheLimits(row);
  return {within ? QStringLiteral("通过") : QStringLiteral("超限"), within ? 1 : 0};
}

bool PlaneFlagged(const PointRow& row) {
  const PlanePoint& p = row.plane;
  return row.fitted &&
         ((p.in_horizontal && p.horizontal.flagged) || (p.in_vertical && p.vertical.flagged));
}

Cell PlaneCellOf(const PointRow& row, int column) {
  const PlanePoint& p = row.plane;
  const adjust::PointFitPoint& h = p.horizontal;
  const adjust::PointFitPoint& v = p.vertical;
  const bool horizontal = row.fitted && p.in_horizontal;
  const bool vertical = row.fitted && p.in_vertical;
  switch (column) {
    case PointTableModel::kNorth:
      return Number(h.residual[0], horizontal, Fixed(h.residual[0]));
    case PointTableModel::kEast:
      return Number(h.residual[1], horizontal, Fixed(h.residual[1]));
    case PointTableModel::kUp:
      return Number(h.residual_length, horizontal, Fixed(h.residual_length));
    case PointTableModel::kLength:
      return Number(h.redundancy_sum, horizontal && h.used, zerb::Number("%.2f", h.redundancy_sum));
    case PointTableModel::kRedundancy:
      return Number(h.test_statistic, horizontal && h.tested,
                    zerb::Number("%.2f", h.test_statistic));
    case PointTableModel::kTest:
      return Number(v.residual[0], vertical, Fixed(v.residual[0]));
    case PointTableModel::kMdb:
      return Number(v.test_statistic, vertical && v.tested, zerb::Number("%.2f", v.test_statistic));
    case PointTableModel::kFlagged:
      return {PlaneFlagged(row) ? QStringLiteral("是") : QString(), PlaneFlagged(row)};
    default:
      return CellOf(row, column);
  }
}

}  // namespace

PointTableModel::PointTableModel(Session* session, QObject* parent)
    : QAbstractTableModel(parent), session_(session) {
  // The watcher reports in the model's thread; a fit still being made when the model goes is
  // finished by the pool and dropped.
  connect(&watcher_, &QFutureWatcher<std::shared_ptr<const FitOutcome>>::finished, this,
          [this] { Arrived(watcher_.result()); });
}

int PointTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(session_->rows().size());
}

int PointTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QString PointTableModel::UseName(PointUse use) {
  switch (use) {
    case PointUse::kControl:
      return QStringLiteral("控制点");
    case PointUse::kCheck:
      return QStringLiteral("检核点");
    case PointUse::kOff:
      return QStringLiteral("不用");
    case PointUse::kHorizontal:
      return QStringLiteral("仅平面");
    case PointUse::kVertical:
      return QStringLiteral("仅高程");
  }
  return {};
}

QVariant PointTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount())
    return {};
  const PointRow& row = session_->rows()[static_cast<std::size_t>(index.row())];
  const auto cell = [&]() {
    return index.column() == kLimits ? LimitsCell(*session_, row)
           : IsSide(index.column())  ? SideCell(row, index.column(), session_->zone())
           : session_->plane()       ? PlaneCellOf(row, index.column())
                                     : CellOf(row, index.column());
  };
  switch (role) {
    case Qt::DisplayRole:
      return cell().text;
    case Qt::EditRole:
      return index.column() == kUse ? QVariant(static_cast<int>(row.use)) : QVariant();
    case kSortRole:
      return cell().sort;
    case Qt::TextAlignmentRole:
      return index.column() == kName || index.column() == kUse || index.column() == kLimits
                 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                 : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
      // Flagged points stand out; a point not used is greyed, as it takes no part.
      if (session_->plane() ? PlaneFlagged(row) : row.fitted && row.result.flagged)
        return QBrush(QColor(255, 205, 200));
      if (row.use == PointUse::kOff)
        return QBrush(QColor(225, 225, 225));
      return {};
    default:
      return {};
  }
}

QVariant PointTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumns)
    return QAbstractTableModel::headerData(section, orientation, role);
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
    return HeaderText(section, session_->plane(), role == Qt::ToolTipRole);
  return {};
}

Qt::ItemFlags PointTableModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  // A point without a name cannot be named to the library, so its use stays as read.
  if (index.isValid() && index.column() == kUse &&
      !session_->rows()[static_cast<std::size_t>(index.row())].name.empty())
    f |= Qt::ItemIsEditable;
  return f;
}

bool PointTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  // A row of the input before, shown until the fit of a new one arrives, is no point of the
  // new input: its use must not land on a point of the same name there.
  if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable) || !session_->ShowsTheInput())
    return false;
  constexpr PointUse kUses[] = {PointUse::kControl, PointUse::kCheck, PointUse::kOff,
                                PointUse::kHorizontal, PointUse::kVertical};
  bool is_number = false;
  const int number = value.toInt(&is_number);
  const auto use = std::find_if(std::begin(kUses), std::end(kUses), [&](PointUse u) {
    return value.typeId() != QMetaType::QString && is_number ? number == static_cast<int>(u)
                                                             : value.toString() == UseName(u);
  });
  if (use == std::end(kUses))
    return false;
  // A point in one of the plane model's two fits only is a use the geocentric models lack.
  const bool one_fit = *use == PointUse::kHorizontal || *use == PointUse::kVertical;
  if (one_fit && session_->request().model != FitModel::kPlane)
    return false;
  session_->SetUse(session_->rows()[static_cast<std::size_t>(index.row())].name, *use);
  Refit();
  return true;
}

void PointTableModel::Refit() {
  if (busy_) {
    again_ = true;
    return;
  }
  Start();
}

void PointTableModel::Start() {
  busy_ = true;
  again_ = false;
  emit refitting();
  // The request is copied: the user may change the session's while the fit is made.
  watcher_.setFuture(
      QtConcurrent::run([request = session_->request()]() -> std::shared_ptr<const FitOutcome> {
        return FitOutcome::Compute(request);
      }));
}

void PointTableModel::Arrived(std::shared_ptr<const FitOutcome> outcome) {
  busy_ = false;
  if (again_) {
    Start();
    return;
  }
  beginResetModel();
  session_->Show(std::move(outcome));
  endResetModel();
  emit refitted();
}

bool PointTableModel::WaitForFit() {
  if (!busy_)
    return true;
  QEventLoop loop;
  connect(this, &PointTableModel::refitted, &loop, &QEventLoop::quit);
  // The loop also ends when the application quits meanwhile: then the fit has not come.
  loop.exec();
  return !busy_;
}

int PointTableModel::RowOf(const QString& name) const {
  const std::string n = name.toStdString();
  for (std::size_t i = 0; i < session_->rows().size(); ++i) {
    if (session_->rows()[i].name == n)
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace zerb::fit
