// The point table as a spreadsheet takes it from the clipboard: the column titles, then one line
// a row, the cells separated by tabs, as Excel and WPS themselves copy a range. A surveyor pastes
// it next to the job's own sheet to keep the residuals and the points left out with it.
#ifndef ZERB_FIT_TABLE_COPY_H
#define ZERB_FIT_TABLE_COPY_H

#include <QModelIndexList>
#include <QString>

class QAbstractItemModel;
class QAction;
class QTableView;

namespace zerb::fit {

// The rows of the selected indexes (of any column; several of one row count once) in the
// model's order, which for a sorting proxy is the order the user sees; every row when none is
// selected. Each cell as shown; a tab or line break inside a title or a cell becomes a space, so
// that no cell moves to another column or line when pasted.
QString TableText(const QAbstractItemModel& model, const QModelIndexList& selected);

// A 复制 action (Ctrl+C) that puts the TableText of the table's selection on the clipboard.
// It is the table's alone: Ctrl+C in a text field or the report still copies their text.
QAction* AddTableCopy(QTableView* table);

}  // namespace zerb::fit

#endif  // ZERB_FIT_TABLE_COPY_H
