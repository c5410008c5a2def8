// What a drop on the window names: one table, or a grid file and a GNSS file in the order the
// drop lists them (the order they were selected in), as 文件 → 打开两个文件 takes them.
#ifndef ZERB_FIT_DROPPED_FILES_H
#define ZERB_FIT_DROPPED_FILES_H

#include <QString>
#include <QStringList>

class QMimeData;

namespace zerb::fit {

// The dropped files' paths, or why the drop is no input the window can open (then files is
// empty).
QString DroppedFiles(const QMimeData* data, QStringList* files);

}  // namespace zerb::fit

#endif  // ZERB_FIT_DROPPED_FILES_H
