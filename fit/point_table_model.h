// The point table: one row a point of the session, in input order (a proxy sorts it), with its
// residuals, tests and use. The use column is the one the user edits; a change goes to the
// session, which fits again, and the table is filled anew from the answer.
#ifndef ZERB_FIT_POINT_TABLE_MODEL_H
#define ZERB_FIT_POINT_TABLE_MODEL_H

#include <QAbstractTableModel>
#include <QFutureWatcher>

#include <memory>

#include "fit/session.h"

namespace zerb::fit {

class PointTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column {
    kLine,
    kName,
    kGridNorth,
    kGridEast,
    kGridHeight,
    kLatitude,
    kLongitude,
    kGnssHeight,
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
  // The use column takes a PointUse as an int, or its name (控制点, 检核点, 不用, and with the
  // plane model 仅平面, 仅高程).
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  // Fits again after a change the window made (the model, the convention, a new input). The fit
  // is made on the thread pool, so that a large input never freezes the window; the table shows
  // the fit before until the answer to the latest request arrives (an answer outdated by a
  // change made meanwhile is not shown, the request is fitted again instead).
  void Refit();
  // Whether a fit is being made.
  bool busy() const { return busy_; }
  // Runs the event loop until the latest request's fit is shown (at once when none is being
  // made): for saving what the settings as they stand give, and for tests. False when the
  // application quit first, and the fit shown is not that of the settings as they stand.
  bool WaitForFit();
  // The row of the point of that name, or -1.
  int RowOf(const QString& name) const;

  static QString UseName(PointUse use);

 signals:
  // A fit was started: the table shows the one before until refitted.
  void refitting();
  // After every fit shown, whatever came of it.
  void refitted();

 private:
  void Start();
  void Arrived(std::shared_ptr<const FitOutcome> outcome);

  Session* session_;
  QFutureWatcher<std::shared_ptr<const FitOutcome>> watcher_;
  bool busy_ = false;
  bool again_ = false;  // a change came while a fit was being made
};

}  // namespace zerb::fit

#endif  // ZERB_FIT_POINT_TABLE_MODEL_H
