#include "fit/point_table_model.h"

#include <QBrush>
#include <QColor>

#include <algorithm>
#include <cmath>

#include "writers/output.h"
#include "writers/report.h"

namespace zerb::fit {
namespace {

constexpr const char* kTitles[PointTableModel::kColumns] = {
    "行号", "点名", "vN (m)",  "vE (m)",   "vU (m)", "v (m)",
    "r",    "T",    "MDB (m)", "粗差标记", "用途",   "限差"};
constexpr const char* kTips[PointTableModel::kColumns] = {
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
    "报告中列出",
    "平面残差和高程残差与模型面板中的水平限差、高程限差比较：通过或超限",
};

// The plane model's columns where the geocentric models have their residuals and tests: the
// horizontal fit's, then the height fit's; line, name, flag and use stay where they are.
constexpr const char* kPlaneTitles[PointTableModel::kColumns] = {
    "行号", "点名",   "vN (m)",    "vE (m)",   "v (m)", "r",
    "T",    "vH (m)", "T（高程）", "粗差标记", "用途",  "限差"};
constexpr const char* kPlaneTips[PointTableModel::kColumns] = {
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
    kTips[PointTableModel::kUse],
    kTips[PointTableModel::kLimits],
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
    : QAbstractTableModel(parent), session_(session) {}

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
  }
  return {};
}

QVariant PointTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount())
    return {};
  const PointRow& row = session_->rows()[static_cast<std::size_t>(index.row())];
  const auto cell = [&]() {
    return index.column() == kLimits ? LimitsCell(*session_, row)
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
  if (role == Qt::DisplayRole)
    return QString::fromUtf8((session_->plane() ? kPlaneTitles : kTitles)[section]);
  if (role == Qt::ToolTipRole)
    return QString::fromUtf8((session_->plane() ? kPlaneTips : kTips)[section]);
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
  if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
    return false;
  PointUse use;
  bool is_number = false;
  const int number = value.toInt(&is_number);
  if (value.typeId() != QMetaType::QString && is_number && number >= 0 &&
      number <= static_cast<int>(PointUse::kOff)) {
    use = static_cast<PointUse>(number);
  } else if (value.toString() == UseName(PointUse::kControl)) {
    use = PointUse::kControl;
  } else if (value.toString() == UseName(PointUse::kCheck)) {
    use = PointUse::kCheck;
  } else if (value.toString() == UseName(PointUse::kOff)) {
    use = PointUse::kOff;
  } else {
    return false;
  }
  session_->SetUse(session_->rows()[static_cast<std::size_t>(index.row())].name, use);
  Refit();
  return true;
}

void PointTableModel::Refit() {
  beginResetModel();
  session_->Refit();
  endResetModel();
  emit refitted();
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
