// Runs zerb-fit's tests on Qt's offscreen platform: the real window, no display needed. The
// window's settings (its recent files) go to a folder of the run's own, never the user's.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  const QTemporaryDir settings;
  if (!settings.isValid())
    return 1;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
  QSettings::setDefaultFormat(QSettings::IniFormat);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
