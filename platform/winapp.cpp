// The application object and the program's start-up: check for a display, start the toolkit,
// name the application from the program and its version block, run InitInstance.
#include <QApplication>
#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/afxwin.h"

namespace {

CWinApp* g_app = nullptr;

bool EnvironmentSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

std::string ProgramName(const char* argv0) {
  std::string name = argv0 != nullptr ? argv0 : "";
  if (const auto slash = name.rfind('/'); slash != std::string::npos)
    name.erase(0, slash + 1);
  return name;
}

// While the toolkit connects to the display its messages are held back: when it cannot start,
// the user gets one line of ours instead of its diagnostics and an abort.
std::string g_programName;
std::vector<QByteArray> g_heldMessages;

void HoldStartupMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtFatalMsg) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr, "%s: 无法打开窗口：连接不上图形显示%s%s%s。\n", g_programName.c_str(),
                 display != nullptr ? "“" : "", display != nullptr ? display : "",
                 display != nullptr ? "”" : "");
    std::fflush(stderr);
    std::_Exit(1);
  }
  g_heldMessages.push_back(message.toLocal8Bit());
}

QString VersionText(const WORD (&v)[4]) {
  return QStringLiteral("%1.%2.%3.%4").arg(v[0]).arg(v[1]).arg(v[2]).arg(v[3]);
}

}  // namespace

CWinApp::CWinApp(LPCTSTR lpszAppName) : m_pszAppName(lpszAppName) {
  g_app = this;
}

CWinApp::~CWinApp() {
  if (g_app == this)
    g_app = nullptr;
}

BOOL CWinApp::InitApplication() {
  return TRUE;
}
BOOL CWinApp::InitInstance() {
  return TRUE;
}

int CWinApp::Run() {
  QApplication::exec();
  return ExitInstance();
}

int CWinApp::ExitInstance() {
  return 0;
}

void CWinApp::OnHelp() {
  CString text;
  if (!text.LoadString(ID_HELP))
    text = "没有可用的帮助。";
  AfxMessageBox(text, MB_ICONINFORMATION);
}

CWinApp* AfxGetApp() {
  return g_app;
}

CWnd* AfxGetMainWnd() {
  return g_app != nullptr ? g_app->m_pMainWnd : nullptr;
}

int AfxWinMain(int argc, char** argv) {
  g_programName = ProgramName(argc > 0 ? argv[0] : nullptr);
  if (g_programName.empty())
    g_programName = "zerb";
  if (!EnvironmentSet("DISPLAY") && !EnvironmentSet("WAYLAND_DISPLAY") &&
      !EnvironmentSet("QT_QPA_PLATFORM")) {
    std::fprintf(stderr,
                 "%s: 无法打开窗口：没有图形显示（DISPLAY 和 WAYLAND_DISPLAY 都未设置）。\n",
                 g_programName.c_str());
    return 1;
  }

  const QtMessageHandler previous = qInstallMessageHandler(&HoldStartupMessage);
  QApplication toolkit(argc, argv);
  qInstallMessageHandler(previous);
  for (const QByteArray& message : g_heldMessages)
    std::fprintf(stderr, "%s\n", message.constData());
  g_heldMessages.clear();

  CWinApp* app = AfxGetApp();
  if (app == nullptr)
    return 1;
  // A null name makes the program's file name the application's name, and with it the title of
  // its message boxes.
  if (app->m_pszAppName == nullptr) {
    app->m_appName = g_programName;
    app->m_pszAppName = app->m_appName.c_str();
  }
  QApplication::setApplicationName(QString::fromUtf8(app->m_pszAppName));
  // The version block gives the version and, by its internal name, the desktop entry the
  // window belongs to (its icon and name on the task bar).
  if (const VersionInfo* version = AfxGetResourceHandle()->version; version != nullptr) {
    QApplication::setApplicationVersion(VersionText(version->productVersion));
    for (const VersionString& entry : version->strings) {
      if (std::string_view(entry.key) == "InternalName") {
        QGuiApplication::setDesktopFileName(QString::fromUtf8(entry.value));
      }
    }
  }

  int code = 0;
  if (!app->InitApplication() || !app->InitInstance()) {
    code = app->ExitInstance();
  } else {
    code = app->Run();
  }
  // The main window was a local object of InitInstance and is gone.
  app->m_pMainWnd = nullptr;
  return code;
}
