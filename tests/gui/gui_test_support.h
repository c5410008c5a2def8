// Helpers of the dialog tests: the offscreen form under test, typing into its fields, and
// acting on a modal dialog or popup menu once it has opened.
#ifndef ZERB_TESTS_GUI_GUI_TEST_SUPPORT_H
#define ZERB_TESTS_GUI_GUI_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/shift_dialog.h"
#include "platform/detail/qt_access.h"
#include "platform/detail/test_hooks.h"
#include "res/resource.h"

// Acts on the next modal dialog (or popup menu) that opens, from inside its event loop.
// `opened()` tells whether one did within two seconds.
class WhenOpened {
 public:
  enum Kind { kModal, kPopup };
  WhenOpened(Kind kind, std::function<void(QWidget*)> act) {
    m_timer.setInterval(5);
    QObject::connect(&m_timer, &QTimer::timeout, [this, kind, act, ticks = 0]() mutable {
      QWidget* w =
          kind == kModal ? QApplication::activeModalWidget() : QApplication::activePopupWidget();
      // Keys reach a window's shortcuts only once it is the active window, which the platform
      // reports a little after showing it; acting earlier would lose them.
      m_opened = w != nullptr && w->isVisible() && (kind == kPopup || w->isActiveWindow());
      if (m_opened || ++ticks > 400)
        m_timer.stop();
      if (m_opened)
        act(w);
    });
    m_timer.start();
  }
  WhenOpened(const WhenOpened&) = delete;
  WhenOpened& operator=(const WhenOpened&) = delete;
  bool opened() const { return m_opened; }

 private:
  QTimer m_timer;
  bool m_opened = false;
};

// Collects the messages the layer would show in message boxes.
class MessageLog {
 public:
  MessageLog() {
    AfxSetMessageSink([this](const std::string& text, UINT) { messages.push_back(text); });
  }
  ~MessageLog() { AfxSetMessageSink(nullptr); }
  MessageLog(const MessageLog&) = delete;
  MessageLog& operator=(const MessageLog&) = delete;
  std::vector<std::string> messages;
};

inline QLineEdit* EditOf(const CWnd& wnd, int id) {
  return dynamic_cast<QLineEdit*>(QtControl(wnd, id));
}

// Replaces a field's text as a user does: focus, Ctrl+A, type.
inline void TypeInto(const CWnd& wnd, int id, const QString& text) {
  QLineEdit* edit = EditOf(wnd, id);
  edit->setFocus(Qt::MouseFocusReason);
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key_Delete);
  if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; })) {
    QTest::keyClicks(edit, text);
  } else {
    // Chinese and full-width text arrives from an input method as a committed string.
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(edit, &commit);
  }
}

inline std::string TextOf(const CWnd& wnd, int id) {
  return wnd.GetDlgItemText(id);
}

// The main form, shown and the active window so that focus and keys work.
class ShownForm : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dlg.Create(IDD_SHIFT_DIALOG));
    QtWindow(dlg)->show();
    QtWindow(dlg)->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(QtWindow(dlg)));
  }
  void TearDown() override { dlg.DestroyWindow(); }

  CShiftDialog dlg;
};

#endif  // ZERB_TESTS_GUI_GUI_TEST_SUPPORT_H
