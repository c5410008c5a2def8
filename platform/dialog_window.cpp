// The Qt window of a dialog: built from its template, and turning the user's actions into the
// messages the dialog's message maps handle.
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

#include "platform/detail/dialog_font.h"
#include "platform/detail/window_impl.h"

DialogWindow::DialogWindow(CWnd* owner, QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), m_owner(owner) {
  // Keys of the system menu and of the window's chrome. On a desktop the window manager
  // usually takes Alt+F4 itself and closes through closeEvent; both end in SC_CLOSE.
  const auto bind = [this](QKeySequence keys, auto action) {
    auto* shortcut = new QShortcut(keys, this);
    connect(shortcut, &QShortcut::activated, this, action);
  };
  const auto openMenu = [this] { OpenSystemMenu(mapToGlobal(QPoint(0, 0))); };
  bind(QKeySequence(Qt::SHIFT | Qt::Key_F10), openMenu);
  bind(QKeySequence(Qt::ALT | Qt::Key_Space), openMenu);
  bind(QKeySequence(Qt::ALT | Qt::Key_F4),
       [this] { m_owner->SendMessage(WM_SYSCOMMAND, SC_CLOSE); });
  bind(QKeySequence(Qt::Key_F1), [this] { m_owner->SendMessage(WM_COMMAND, ID_HELP); });
}

void DialogWindow::OpenSystemMenu(const QPoint& globalPos) {
  const HMENU__& systemMenu = m_owner->GetImpl()->systemMenu;
  if (systemMenu.items.empty())
    return;
  QMenu menu(this);
  for (const MenuItem& item : systemMenu.items) {
    if ((item.flags & MF_SEPARATOR) != 0) {
      menu.addSeparator();
    } else {
      // Text after a tab is the item's key, shown in the menu's key column.
      menu.addAction(QString::fromUtf8(item.text.c_str()))->setData(item.id);
    }
  }
  if (!menu.actions().isEmpty())
    menu.setActiveAction(menu.actions().first());
  const QAction* chosen = menu.exec(globalPos);
  if (chosen != nullptr)
    m_owner->SendMessage(WM_SYSCOMMAND, chosen->data().toUInt());
}

void DialogWindow::reject() {
  m_owner->SendMessage(WM_COMMAND, IDCANCEL);
}

void DialogWindow::accept() {
  m_owner->SendMessage(WM_COMMAND, IDOK);
}

void DialogWindow::paintEvent(QPaintEvent*) {
  m_owner->SendMessage(WM_PAINT);
}

void DialogWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  m_owner->SendMessage(WM_SYSCOMMAND, SC_CLOSE);
}

void DialogWindow::contextMenuEvent(QContextMenuEvent* event) {
  OpenSystemMenu(event->reason() == QContextMenuEvent::Mouse ? event->globalPos()
                                                             : mapToGlobal(QPoint(0, 0)));
}

namespace {

QWidget* CreateControl(CWnd* owner, const DialogItemTemplate& item, const QString& accessibleName,
                       QWidget* parent) {
  const QString text = QString::fromUtf8(item.text != nullptr ? item.text : "");
  const bool tabStop = (item.style & WS_TABSTOP) != 0;
  switch (item.kind) {
    case ControlClass::Button: {
      auto* button = new QPushButton(text, parent);
      // As on the platform, a focused push button takes Enter; otherwise the default one does.
      button->setAutoDefault(true);
      button->setDefault((item.style & 0x0F) == BS_DEFPUSHBUTTON);
      button->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
      const int id = item.id;
      QObject::connect(button, &QPushButton::clicked, parent,
                       [owner, id] { owner->SendMessage(WM_COMMAND, static_cast<WPARAM>(id)); });
      return button;
    }
    case ControlClass::Edit: {
      auto* edit = new QLineEdit(text, parent);
      edit->setFrame((item.style & WS_BORDER) != 0);
      if ((item.style & ES_READONLY) != 0) {
        // Read-only fields keep focus, selection and copy, on the dialog's own background.
        edit->setReadOnly(true);
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        edit->setPalette(palette);
      }
      edit->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
      edit->setAccessibleName(accessibleName);
      return edit;
    }
    case ControlClass::Static: {
      auto* label = new QLabel(parent);
      if ((item.style & 0x1F) == SS_ICON) {
        // An icon control takes the size of its icon.
        const HICON icon =
            LoadIcon(AfxFindResourceHandle(item.imageId, RT_GROUP_ICON), item.imageId);
        const int cx = GetSystemMetrics(SM_CXICON);
        const int cy = GetSystemMetrics(SM_CYICON);
        if (icon != nullptr)
          label->setPixmap(icon->icon.pixmap(cx, cy));
        return label;
      }
      label->setTextFormat(Qt::PlainText);
      label->setText(text);
      label->setAlignment(((item.exStyle & WS_EX_RIGHT) != 0 ? Qt::AlignRight : Qt::AlignLeft) |
                          Qt::AlignTop);
      label->setFocusPolicy(Qt::NoFocus);
      return label;
    }
  }
  return nullptr;
}

}  // namespace

DialogWindow* BuildDialogWindow(CWnd* owner, CWndImpl& impl, const DialogTemplate& t,
                                QWidget* parent) {
  // An application window is a normal toplevel, listed on the task bar; any other dialog is a
  // transient of its owner. Neither has a minimise or maximise button: the size is fixed.
  Qt::WindowFlags flags = (t.exStyle & WS_EX_APPWINDOW) != 0 ? Qt::Window : Qt::Dialog;
  flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if ((t.style & WS_SYSMENU) != 0)
    flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if ((t.style & WS_MINIMIZEBOX) != 0)
    flags |= Qt::WindowMinimizeButtonHint;
  if ((t.style & WS_MAXIMIZEBOX) != 0)
    flags |= Qt::WindowMaximizeButtonHint;

  auto* window = new DialogWindow(owner, parent, flags);
  window->setWindowTitle(QString::fromUtf8(t.caption));
  const QFont font = DialogFont(t);
  window->setFont(font);
  const DialogBaseUnits base = BaseUnitsOf(font);
  window->setFixedSize(MulDiv(t.cx, base.x, 4), MulDiv(t.cy, base.y, 8));

  impl.window = window;
  impl.controls.clear();
  impl.firstTabStop = nullptr;
  for (const DialogItemTemplate& item : t.items) {
    QString name;
    for (const AccessibleName& a : t.accessibleNames) {
      if (a.id == item.id)
        name = QString::fromUtf8(a.name);
    }
    QWidget* control = CreateControl(owner, item, name, window);
    const bool icon = item.kind == ControlClass::Static && (item.style & 0x1F) == SS_ICON;
    const int cx = icon ? GetSystemMetrics(SM_CXICON) : MulDiv(item.cx, base.x, 4);
    const int cy = icon ? GetSystemMetrics(SM_CYICON) : MulDiv(item.cy, base.y, 8);
    control->setGeometry(MulDiv(item.x, base.x, 4), MulDiv(item.y, base.y, 8), cx, cy);
    if (item.id != IDC_STATIC)
      impl.controls[item.id] = control;
    if (impl.firstTabStop == nullptr && (item.style & WS_TABSTOP) != 0)
      impl.firstTabStop = control;
  }

  // The standard items of a fixed-size window's system menu.
  impl.systemMenu.items.clear();
  impl.hasSystemMenu = (t.style & WS_SYSMENU) != 0;
  if (impl.hasSystemMenu) {
    impl.systemMenu.items = {{MF_STRING, SC_MOVE, "移动(&M)"},
                             {MF_SEPARATOR, 0, ""},
                             {MF_STRING, SC_CLOSE, "关闭(&C)\tAlt+F4"}};
  }
  return window;
}
