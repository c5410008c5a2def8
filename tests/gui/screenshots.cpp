// Renders the main form and the About box offscreen to PNG files, for the documentation:
//   zerb_screenshots OUTPUT_DIR
// The form shows a converted example point so the picture shows what the program does.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>

#include "app/about_dialog.h"
#include "app/shift_app.h"
#include "app/shift_dialog.h"
#include "platform/detail/qt_access.h"
#include "res/resource.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QDir out(QString::fromLocal8Bit(argv[1]));

  CShiftDialog dlg;
  dlg.m_form.m_gridX = 3378000.0;
  dlg.m_form.m_gridY = 500000.0;
  dlg.m_form.m_gridH = 20.0;
  dlg.m_form.m_latDeg = 30;
  dlg.m_form.m_latMin = 31;
  dlg.m_form.m_latSec = 12.345;
  dlg.m_form.m_geoH = 36.5;
  dlg.m_form.m_lonDeg = 117;
  dlg.m_form.m_lonMin = 0;
  dlg.m_form.m_lonSec = 1.5;
  ComputeShift(dlg.m_form);
  theApp.m_pMainWnd = &dlg;
  dlg.Create(IDD_SHIFT_DIALOG);
  bool ok = QtWindow(dlg)->grab().save(out.filePath("main-form.png"));

  CAboutDialog about;
  about.Create(IDD_ABOUT_DIALOG);
  QtWindow(about)->show();
  ok = QtWindow(about)->grab().save(out.filePath("about-box.png")) && ok;
  theApp.m_pMainWnd = nullptr;
  if (!ok)
    std::fprintf(stderr, "%s: cannot write into %s\n", argv[0], argv[1]);
  return ok ? 0 : 1;
}
