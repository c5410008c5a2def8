// The Qt widgets behind a window, for tests that drive the dialogs with real input.
#ifndef ZERB_PLATFORM_DETAIL_QT_ACCESS_H
#define ZERB_PLATFORM_DETAIL_QT_ACCESS_H

#include <QDialog>
#include <QWidget>

#include "platform/afxwin.h"
#include "platform/detail/window_impl.h"

// The dialog's window, or nullptr while it has none.
inline QDialog* QtWindow(const CWnd& wnd) {
  return wnd.GetImpl()->window.data();
}

// Control nID of the dialog, or nullptr.
inline QWidget* QtControl(const CWnd& wnd, int nID) {
  const auto& controls = wnd.GetImpl()->controls;
  const auto it = controls.find(nID);
  return it != controls.end() ? it->second : nullptr;
}

// Opens the window's system menu, as a right-click in its background does.
inline void OpenSystemMenu(const CWnd& wnd) {
  if (auto* window = wnd.GetImpl()->window.data()) {
    window->OpenSystemMenu(window->mapToGlobal(QPoint(0, 0)));
  }
}

#endif  // ZERB_PLATFORM_DETAIL_QT_ACCESS_H
