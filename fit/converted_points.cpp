#include "fit/converted_points.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
#include <memory>
#include <string>

#include "crs/grid_conversion.h"
#include "fit/collected_diagnostics.h"
#include "readers/input_file.h"
#include "writers/convert_points.h"
#include "writers/saved_definition.h"

namespace zerb::fit {
namespace {

// The table goes to a temporary file beside the output (QSaveFile's), written through stdio as
// the library writes, and takes the output's name only when the whole of it is written.
class SavedOutput : public ConvertedOutput {
 public:
  explicit SavedOutput(const QString& path) : file_(path) {}

  Reason Open(std::FILE** file) override {
    if (!file_.open(QIODevice::WriteOnly))
      return Refusal();
    // The descriptor stays QSaveFile's: stdio writes through a copy of it.
    const int copy = dup(file_.handle());
    stream_.reset(copy >= 0 ? fdopen(copy, "wb") : nullptr);
    if (!stream_) {
      if (copy >= 0)
        close(copy);
      return Refusal();
    }
    *file = stream_.get();
    return {};
  }
  std::string Name() const override { return Printable(PathOf(file_.fileName())); }

  // Closes the stream and gives the file its name.
  Reason Commit() {
    if (!stream_ || std::fclose(stream_.release()) != 0 || !file_.commit())
      return Refusal();
    return {};
  }

 private:
  static std::string PathOf(const QString& path) { return QFile::encodeName(path).toStdString(); }
  Reason Refusal() const {
    return QStringLiteral("无法写入 %1：%2")
        .arg(file_.fileName(), file_.errorString())
        .toStdString();
  }

  QSaveFile file_;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream_{nullptr, &std::fclose};
};

}  // namespace

ConvertedFile ConvertPointFile(const Session& session, const QString& input, const QString& output,
                               Direction direction) {
  ConvertedFile result;
  // The definition zerb-shift --save writes for this fit.
  std::string definition;
  if (Reason r = session.Render(SavedForm(Format::kText, session.plane()), &definition);
      !r.empty()) {
    result.reason = QString::fromStdString(r);
    return result;
  }
  crs::GridConversion conversion;
  if (Reason r = conversion.Open(definition); !r.empty()) {
    result.reason = QString::fromStdString(r);
    return result;
  }
  const GridArea area = session.FittedArea();
  ConvertSettings settings;
  settings.inverse = direction == Direction::kToGrid;
  // The angles are read, and written, as the fit read the GNSS file's: a dd.mmss file is dd.mmss
  // here too.
  settings.angles = session.shown_request().options.angle_format;
  settings.area = area.points > 0 ? &area : nullptr;

  // An absolute path: "-" or an empty name would be standard input, which the window has not.
  const std::string path = QFile::encodeName(QFileInfo(input).absoluteFilePath()).toStdString();
  const std::string source = Printable(path);
  CollectedDiagnostics diagnostics;
  InputFile file;
  Reason r = file.Open(path, nullptr);
  SavedOutput saved(output);
  ConvertCounts counts;
  if (r.empty())
    r = ConvertPoints(&conversion, settings, file, source, &diagnostics, &saved, &counts);
  for (const std::string& line : diagnostics.Lines())
    result.messages.append(QString::fromStdString(line));
  result.read = counts.read;
  result.converted = counts.converted;
  result.refused = counts.refused;
  result.warnings = counts.outside + counts.far_from_meridian;
  if (!r.empty()) {
    result.reason = QString::fromStdString(r);
    return result;
  }
  result.messages.append(QString::fromStdString(ConvertSummary(counts, settings.area != nullptr)));
  if (counts.converted == 0) {
    result.reason = QStringLiteral("没有可转换的点（原因见“消息”），未写入 %1").arg(output);
    return result;
  }
  if (r = saved.Commit(); !r.empty())
    result.reason = QString::fromStdString(r);
  return result;
}

QString SuggestedOutput(const QString& input, Direction direction, GnssDatum datum) {
  const QFileInfo info(input);
  const QString suffix = direction == Direction::kToGrid ? QStringLiteral("-grid.csv")
                         : datum == GnssDatum::kCgcs2000 ? QStringLiteral("-cgcs2000.csv")
                                                         : QStringLiteral("-wgs84.csv");
  return info.dir().filePath(info.completeBaseName() + suffix);
}

QString Outcome(const ConvertedFile& converted, const QString& output) {
  if (!converted.reason.isEmpty())
    return QStringLiteral("未转换：%1").arg(converted.reason);
  QString text = QStringLiteral("已转换 %1 个点，写入 %2").arg(converted.converted).arg(output);
  if (converted.refused > 0)
    text += QStringLiteral("；%1 行被拒绝，见“消息”").arg(converted.refused);
  if (converted.warnings > 0)
    text += QStringLiteral("；%1 条警告，见“消息”").arg(converted.warnings);
  return text;
}

}  // namespace zerb::fit
