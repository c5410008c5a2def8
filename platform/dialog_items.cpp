// Text and focus of a dialog's controls.
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

#include "platform/afxwin.h"
#include "platform/detail/window_impl.h"

namespace {

QWidget* Control(const CWndImpl& impl, int nID) {
  const auto it = impl.controls.find(nID);
  return it != impl.controls.end() ? it->second : nullptr;
}

}  // namespace

void CWnd::SetDlgItemText(int nID, LPCTSTR lpszString) {
  const QString text = QString::fromUtf8(lpszString != nullptr ? lpszString : "");
  QWidget* control = Control(*m_impl, nID);
  if (auto* edit = dynamic_cast<QLineEdit*>(control)) {
    edit->setText(text);
  } else if (auto* button = dynamic_cast<QAbstractButton*>(control)) {
    button->setText(text);
  } else if (auto* label = dynamic_cast<QLabel*>(control)) {
    label->setText(text);
  }
}

std::string CWnd::GetDlgItemText(int nID) const {
  QWidget* control = Control(*m_impl, nID);
  QString text;
  if (auto* edit = dynamic_cast<QLineEdit*>(control)) {
    text = edit->text();
  } else if (auto* button = dynamic_cast<QAbstractButton*>(control)) {
    text = button->text();
  } else if (auto* label = dynamic_cast<QLabel*>(control)) {
    text = label->text();
  }
  return text.toStdString();
}

void CWnd::GotoDlgCtrl(int nID) {
  QWidget* control = Control(*m_impl, nID);
  if (control == nullptr)
    return;
  control->setFocus(Qt::OtherFocusReason);
  if (auto* edit = dynamic_cast<QLineEdit*>(control))
    edit->selectAll();
}
