// The layer's private state behind CWnd, CMenu, icons and paint contexts, and the Qt dialog
// window that carries a CDialog on screen.
#ifndef ZERB_PLATFORM_DETAIL_WINDOW_IMPL_H
#define ZERB_PLATFORM_DETAIL_WINDOW_IMPL_H

#include <QDialog>
#include <QIcon>
#include <QPointer>
#include <map>
#include <string>
#include <vector>

#include "platform/afxwin.h"

class QPainter;

// One item of a window's system menu: a separator, or a command with its text.
struct MenuItem {
  UINT flags;
  UINT id;
  std::string text;
};

struct HMENU__ {
  std::vector<MenuItem> items;
  CMenu object;
};

struct HICON__ {
  QIcon icon;
};

struct HDC__ {
  QPainter* painter;
  QWidget* widget;
};

// The toplevel window of a dialog. Everything the user does to it is turned into the messages
// the dialog's message maps see: buttons send WM_COMMAND, the close button and Alt+F4 send
// WM_SYSCOMMAND SC_CLOSE, Esc sends IDCANCEL, painting sends WM_PAINT.
class DialogWindow final : public QDialog {
 public:
  DialogWindow(CWnd* owner, QWidget* parent, Qt::WindowFlags flags);
  // Opens the system menu at globalPos and sends the chosen command as WM_SYSCOMMAND.
  void OpenSystemMenu(const QPoint& globalPos);
  void reject() override;
  void accept() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  CWnd* m_owner;
};

struct CurrentMessage {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

struct CWndImpl {
  QPointer<DialogWindow> window;
  std::map<int, QWidget*> controls;
  QWidget* firstTabStop = nullptr;
  HMENU__ systemMenu;
  bool hasSystemMenu = false;
  HICON bigIcon = nullptr;
  HICON smallIcon = nullptr;
  CurrentMessage current;
  bool modal = false;
};

// Builds the window and controls of dialog template t for owner; parent may be null.
DialogWindow* BuildDialogWindow(CWnd* owner, CWndImpl& impl, const DialogTemplate& t,
                                QWidget* parent);

#endif  // ZERB_PLATFORM_DETAIL_WINDOW_IMPL_H
