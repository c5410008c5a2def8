// The point table: one row a point of the session, in input order (a proxy sorts it), with its
// residuals, tests and use. The use column is the one the user edits; a change goes to the
// session, which fits again, and the table is filled anew from the answer.
#ifndef ZERB_FIT_POINT_TABLE_MODEL_H
#define ZERB_FIT_POINT_TABLE_MODEL_H

#include <QAbstractTableModel>

#include "fit/session.h"

namespace zerb::fit {

class PointTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column {
    kLine,
    kName,
    kNorth,
    kEast,
    kUp,
    kLength,
    kRedundancy,
    kTest,
    kMdb,
    kFlagged,
    kUse,
    kLimits
  };
  static constexpr int kColumns = kLimits + 1;
  // The role a proxy sorts by: numbers as numbers, a missing value below every number.
  static constexpr int kSortRole = Qt::UserRole;

  PointTableModel(Session* session, QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // The use column takes a PointUse as an int, or its name (控制点, 检核点, 不用).
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  // Fits again after a change the window made (the model, the convention, a new input).
  void Refit();
  // The row of the point of that name, or -1.
  int RowOf(const QString& name) const;

  static QString UseName(PointUse use);

 signals:
  // After every fit, whatever came of it.
  void refitted();

 private:
  Session* session_;
};

}  // namespace zerb::fit

#endif  // ZERB_FIT_POINT_TABLE_MODEL_H
