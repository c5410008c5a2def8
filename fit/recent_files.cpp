#include "fit/recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace zerb::fit {
namespace {

// The same file on every platform, and the one a test points elsewhere with QSettings::setPath.
QSettings Settings() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("zerb"),
                   QStringLiteral("zerb-fit"));
}

}  // namespace

QString RecentInput::Label() const {
  return pair() ? grid + QStringLiteral(" + ") + gnss : table;
}

QString RecentInput::Missing() const {
  for (const QString& path : pair() ? QList<QString>{grid, gnss} : QList<QString>{table}) {
    if (!QFileInfo(path).isFile())
      return path;
  }
  return {};
}

QList<RecentInput> RecentFiles::List() const {
  QSettings settings = Settings();
  QList<RecentInput> out;
  const int n = settings.beginReadArray(QStringLiteral("recent"));
  for (int i = 0; i < n && out.size() < kKept; ++i) {
    settings.setArrayIndex(i);
    RecentInput input{settings.value(QStringLiteral("table")).toString(),
                      settings.value(QStringLiteral("grid")).toString(),
                      settings.value(QStringLiteral("gnss")).toString()};
    // An entry edited by hand into neither form names no input to open.
    if (input.pair() ? !input.grid.isEmpty() && !input.gnss.isEmpty()
                     : input.grid.isEmpty() && input.gnss.isEmpty())
      out.append(input);
  }
  settings.endArray();
  return out;
}

void RecentFiles::Add(const RecentInput& input) {
  QList<RecentInput> inputs = List();
  inputs.removeAll(input);
  inputs.prepend(input);
  Store(inputs.mid(0, kKept));
}

void RecentFiles::Remove(const RecentInput& input) {
  QList<RecentInput> inputs = List();
  inputs.removeAll(input);
  Store(inputs);
}

void RecentFiles::Store(const QList<RecentInput>& inputs) {
  QSettings settings = Settings();
  settings.remove(QStringLiteral("recent"));
  settings.beginWriteArray(QStringLiteral("recent"), static_cast<int>(inputs.size()));
  for (int i = 0; i < inputs.size(); ++i) {
    settings.setArrayIndex(i);
    const RecentInput& input = inputs[i];
    if (input.pair()) {
      settings.setValue(QStringLiteral("grid"), input.grid);
      settings.setValue(QStringLiteral("gnss"), input.gnss);
    } else {
      settings.setValue(QStringLiteral("table"), input.table);
    }
  }
  settings.endArray();
}

}  // namespace zerb::fit
