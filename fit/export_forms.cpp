#include "fit/export_forms.h"

#include <QClipboard>
#include <QGuiApplication>

#include <string>

namespace zerb::fit {

const std::vector<ExportForm>& ExportForms() {
  static const std::vector<ExportForm> forms = {
      {Format::kTowgs84, QStringLiteral("+towgs84 参数"), QStringLiteral("文本 (*.txt)"),
       QStringLiteral("txt")},
      {Format::kProj, QStringLiteral("PROJ Helmert 步骤"), QStringLiteral("文本 (*.txt)"),
       QStringLiteral("txt")},
      {Format::kWkt, QStringLiteral("WKT TOWGS84 节点"), QStringLiteral("WKT (*.wkt)"),
       QStringLiteral("wkt")},
      {Format::kCrsProj, QStringLiteral("坐标系定义 PROJ 字符串"), QStringLiteral("文本 (*.txt)"),
       QStringLiteral("txt")},
      {Format::kCrsWkt1, QStringLiteral("坐标系定义 WKT1（ESRI .prj）"),
       QStringLiteral("投影文件 (*.prj)"), QStringLiteral("prj")},
      {Format::kCrsWkt2, QStringLiteral("坐标系定义 WKT2"), QStringLiteral("WKT2 定义 (*.wkt)"),
       QStringLiteral("wkt")},
      {Format::kCrsProjJson, QStringLiteral("坐标系定义 PROJJSON"),
       QStringLiteral("PROJJSON (*.json)"), QStringLiteral("json")},
      {Format::kPipeline, QStringLiteral("PROJ 转换管道"), QStringLiteral("PROJ 管道 (*.txt)"),
       QStringLiteral("txt")},
      {Format::kParameters, QStringLiteral("平面四参数及高程拟合"), QStringLiteral("文本 (*.txt)"),
       QStringLiteral("txt")},
  };
  return forms;
}

bool ModelHasForm(Format format, bool plane) {
  if (format == Format::kPipeline)
    return true;
  return plane == (format == Format::kParameters);
}

QString ExportText(const Session& session, Format format, QString* text) {
  text->clear();
  std::string out;
  if (Reason r = session.Render(format, &out); !r.empty())
    return QString::fromStdString(r);
  *text = QString::fromStdString(out);
  return {};
}

QString CopyExport(const Session& session, Format format) {
  QString text;
  if (QString why = ExportText(session, format, &text); !why.isEmpty())
    return why;
  QGuiApplication::clipboard()->setText(text);
  return {};
}

}  // namespace zerb::fit
