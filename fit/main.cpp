// zerb-fit: transformation parameters from many common points, in a window. See main_window.h.
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "fit/command_line.h"
#include "fit/main_window.h"
#include "text/translate.h"

namespace {

bool Set(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

// Qt's own diagnostics while it connects to the display: held back, and when it cannot connect,
// replaced by one line saying so (Qt would abort with a core dump).
std::vector<QByteArray> g_held;

void HoldWhileStarting(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtFatalMsg) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr, "zerb-fit: 无法打开窗口：连接不上图形显示 %s\n",
                 display != nullptr ? display : "");
    std::fflush(stderr);
    std::_Exit(1);
  }
  g_held.push_back(message.toLocal8Bit());
}

}  // namespace

int main(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i)
    args.push_back(QString::fromLocal8Bit(argv[i]));
  zerb::fit::FitArguments files;
  if (const QString why = zerb::fit::ParseArguments(args, &files); !why.isEmpty()) {
    std::fprintf(stderr, "zerb-fit: %s\n", why.toUtf8().constData());
    return 2;
  }
  if (!Set("DISPLAY") && !Set("WAYLAND_DISPLAY") && !Set("QT_QPA_PLATFORM")) {
    std::fprintf(stderr,
                 "zerb-fit: 无法打开窗口：没有图形显示（DISPLAY 和 WAYLAND_DISPLAY 都未设置）\n");
    return 1;
  }
  const QtMessageHandler previous = qInstallMessageHandler(&HoldWhileStarting);
  QApplication app(argc, argv);
  qInstallMessageHandler(previous);
  for (const QByteArray& message : g_held)
    std::fprintf(stderr, "%s\n", message.constData());
  g_held.clear();
  // After Qt, which sets the whole locale from the environment: the library's messages in the
  // user's language, and numbers in the C form the library writes and reads.
  zerb::UseLanguageOfEnvironment(ZERB_LOCALEDIR);
  zerb::fit::MainWindow window;
  window.show();
  if (!files.table.isEmpty())
    window.OpenTable(files.table);
  else if (!files.grid.isEmpty())
    window.OpenPair(files.grid, files.wgs84);
  return QApplication::exec();
}
