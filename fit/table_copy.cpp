#include "fit/table_copy.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QTableView>

#include <algorithm>
#include <vector>

namespace zerb::fit {
namespace {

// A tab would open a column and a line break a row that the table does not have.
QString OneCell(const QVariant& value) {
  QString text = value.toString();
  for (QChar& c : text) {
    if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
      c = QLatin1Char(' ');
  }
  return text;
}

}  // namespace

QString TableText(const QAbstractItemModel& model, const QModelIndexList& selected) {
  std::vector<int> rows;
  for (const QModelIndex& index : selected) {
    // An index of another model, or one that went stale with a refit, names no row here.
    if (index.isValid() && index.model() == &model && index.row() < model.rowCount())
      rows.push_back(index.row());
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  if (rows.empty()) {
    for (int row = 0; row < model.rowCount(); ++row)
      rows.push_back(row);
  }
  const int columns = model.columnCount();
  QString text;
  for (int column = 0; column < columns; ++column) {
    if (column > 0)
      text += QLatin1Char('\t');
    text += OneCell(model.headerData(column, Qt::Horizontal, Qt::DisplayRole));
  }
  text += QLatin1Char('\n');
  for (const int row : rows) {
    for (int column = 0; column < columns; ++column) {
      if (column > 0)
        text += QLatin1Char('\t');
      text += OneCell(model.data(model.index(row, column), Qt::DisplayRole));
    }
    text += QLatin1Char('\n');
  }
  return text;
}

QAction* AddTableCopy(QTableView* table) {
  auto* copy = new QAction(QStringLiteral("复制(&C)"), table);
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetShortcut);
  copy->setStatusTip(
      QStringLiteral("把选中的行（未选中时为全部行）连同列标题复制到剪贴板，可粘贴到电子表格"));
  QObject::connect(copy, &QAction::triggered, table, [table] {
    const QItemSelectionModel* selection = table->selectionModel();
    QGuiApplication::clipboard()->setText(TableText(
        *table->model(), selection != nullptr ? selection->selectedIndexes() : QModelIndexList()));
  });
  table->addAction(copy);
  return copy;
}

}  // namespace zerb::fit
