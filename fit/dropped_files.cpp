#include "fit/dropped_files.h"

#include <QMimeData>
#include <QUrl>

namespace zerb::fit {

QString DroppedFiles(const QMimeData* data, QStringList* files) {
  files->clear();
  const QList<QUrl> urls = data->urls();
  if (urls.isEmpty())
    return QStringLiteral("拖入的不是文件");
  if (urls.size() > 2) {
    return QStringLiteral(
               "拖入了 %1 个文件：只能拖入一个表格，或两个文件（先网格坐标文件，后 "
               "GNSS 文件）")
        .arg(urls.size());
  }
  QStringList paths;
  for (const QUrl& url : urls) {
    // The window reads its files again on every change: it must reach them by name.
    if (!url.isLocalFile())
      return QStringLiteral("%1 不是本机上的文件").arg(url.toDisplayString());
    paths.append(url.toLocalFile());
  }
  *files = paths;
  return {};
}

}  // namespace zerb::fit
