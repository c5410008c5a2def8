// zerb-fit: transformation parameters from many common points, in a window. See main_window.h.
#include <QApplication>

#include <cstdio>

#include "fit/command_line.h"
#include "fit/main_window.h"
#include "text/translate.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // After Qt, which sets the whole locale from the environment: the library's messages in the
  // user's language, and numbers in the C form the library writes and reads.
  zerb::UseLanguageOfEnvironment(ZERB_LOCALEDIR);
  zerb::fit::FitArguments files;
  const QString why = zerb::fit::ParseArguments(QApplication::arguments().mid(1), &files);
  if (!why.isEmpty()) {
    std::fprintf(stderr, "zerb-fit: %s\n", why.toUtf8().constData());
    return 2;
  }
  zerb::fit::MainWindow window;
  window.show();
  if (!files.table.isEmpty())
    window.OpenTable(files.table);
  else if (!files.grid.isEmpty())
    window.OpenPair(files.grid, files.wgs84);
  return QApplication::exec();
}
