// Message boxes of the program: the data-exchange messages and the help text.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

#include "platform/afxwin.h"
#include "platform/detail/test_hooks.h"

namespace {

MessageSink& Sink() {
  static MessageSink sink;
  return sink;
}

}  // namespace

void AfxSetMessageSink(MessageSink sink) {
  Sink() = std::move(sink);
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType) {
  if (Sink()) {
    Sink()(lpszText, nType);
    return IDOK;
  }
  const CWinApp* app = AfxGetApp();
  const QString title = app != nullptr && app->m_pszAppName != nullptr
                            ? QString::fromUtf8(app->m_pszAppName)
                            : QCoreApplication::applicationName();
  const QMessageBox::Icon icon = (nType & 0xF0) == MB_ICONEXCLAMATION   ? QMessageBox::Warning
                                 : (nType & 0xF0) == MB_ICONINFORMATION ? QMessageBox::Information
                                                                        : QMessageBox::NoIcon;
  QMessageBox box(icon, title, QString::fromUtf8(lpszText), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Ok);
  box.exec();
  return IDOK;
}
