// Helpers of the dialog tests: the offscreen dialog under test, typing into its fields, and
// acting on a modal dialog or popup menu once it has opened.
#ifndef ZERB_TESTS_GUI_GUI_TEST_SUPPORT_H
#define ZERB_TESTS_GUI_GUI_TEST_SUPPORT_H

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt_access.h"

// Acts on the next modal dialog (or popup menu) that opens, from inside its event loop.
// `opened()` tells whether one did within the deadline.
class WhenOpened {
 public:
  enum Kind { kModal, kPopup };
  WhenOpened(Kind kind, std::function<void(QWidget*)> act) : m_state(std::make_unique<State>()) {
    State* state = m_state.get();
    state->timer.setInterval(5);
    QObject::connect(&state->timer, &QTimer::timeout, [state, kind, act] {
      QWidget* w =
          kind == kModal ? QApplication::activeModalWidget() : QApplication::activePopupWidget();
      if (++state->ticks > 400)
        state->timer.stop();  // two seconds: it did not open
      if (w == nullptr || !w->isVisible() || w == state->ignore)
        return;
      state->timer.stop();
      state->opened = true;
      act(w);
    });
    state->ignore = kind == kModal ? QApplication::activeModalWidget() : nullptr;
    state->timer.start();
  }
  bool opened() const { return m_state->opened; }

 private:
  struct State {
    QTimer timer;
    int ticks = 0;
    bool opened = false;
    QWidget* ignore = nullptr;
  };
  std::unique_ptr<State> m_state;
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
  bool ascii = true;
  for (QChar c : text)
    ascii = ascii && c.unicode() < 0x80;
  if (ascii) {
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

// Shows the dialog's window and waits until it is the active window, so focus and keys work.
inline bool Activate(const CWnd& wnd) {
  QDialog* window = QtWindow(wnd);
  if (window == nullptr)
    return false;
  window->show();
  window->activateWindow();
  return QTest::qWaitForWindowActive(window);
}

#endif  // ZERB_TESTS_GUI_GUI_TEST_SUPPORT_H
