#include "fit/command_line.h"

namespace zerb::fit {

QString ParseArguments(const QStringList& args, FitArguments* out) {
  *out = FitArguments();
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QLatin1String("--grid") || a == QLatin1String("--wgs84")) {
      if (i + 1 == args.size())
        return QStringLiteral("%1 后面缺少文件名").arg(a);
      (a == QLatin1String("--grid") ? out->grid : out->wgs84) = args[++i];
    } else if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
      return QStringLiteral("未知选项 %1（可用：一个表格文件，或 --grid 文件 --wgs84 文件）")
          .arg(a);
    } else if (!out->table.isEmpty()) {
      return QStringLiteral("只能打开一个表格：%1 和 %2").arg(out->table, a);
    } else {
      out->table = a;
    }
  }
  // The window reads its files again on every change; standard input is gone after once.
  for (const QString* f : {&out->table, &out->grid, &out->wgs84}) {
    if (*f == QLatin1String("-"))
      return QStringLiteral("zerb-fit 不能读标准输入，请给出文件名");
  }
  if (out->grid.isEmpty() != out->wgs84.isEmpty())
    return QStringLiteral("--grid 和 --wgs84 须一起给出");
  if (!out->table.isEmpty() && !out->grid.isEmpty())
    return QStringLiteral("请给出一个表格，或者 --grid 和 --wgs84 两个文件，不能同时给出");
  return {};
}

}  // namespace zerb::fit
