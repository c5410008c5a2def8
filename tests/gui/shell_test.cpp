// The application shell around the form: start-up and exit, the system menu and its About
// item, the About box, the window icon and help.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <string>
#include <vector>

#include "app/about_dialog.h"
#include "app/shift_app.h"
#include "app/shift_dialog.h"
#include "gui_test_support.h"
#include "res/resource.h"

namespace {

std::vector<std::string> MenuTexts(CMenu* menu) {
  std::vector<std::string> texts;
  for (int i = 0; i < menu->GetMenuItemCount(); ++i) {
    CString text;
    menu->GetMenuString(static_cast<UINT>(i), text);
    texts.emplace_back(text);
  }
  return texts;
}

// Runs a new dialog modally, acts on it once it is shown, and returns what DoModal returned.
template <typename Dialog>
INT_PTR ModalResult(const std::function<void(Dialog&, QWidget*)>& act) {
  Dialog modal;
  WhenOpened opened(WhenOpened::kModal, [&](QWidget* w) { act(modal, w); });
  // Should the action not end the dialog, end it with -1 after a while: the test then fails
  // instead of waiting forever in the modal loop.
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [&modal] { modal.EndDialog(-1); });
  watchdog.start(10000);
  const INT_PTR result = modal.DoModal();
  EXPECT_TRUE(opened.opened());
  return result;
}

// The form, shown as the application's main window.
class Shell : public ShownForm {
 protected:
  void SetUp() override {
    theApp.m_pMainWnd = &dlg;
    ShownForm::SetUp();
  }
  void TearDown() override {
    ShownForm::TearDown();
    theApp.m_pMainWnd = nullptr;
  }

  // Sends the system command and reports the title of the modal box it opened, if any; the
  // box is closed with the given key.
  QString AboutTitleAfter(UINT command, Qt::Key closeKey = Qt::Key_Escape) {
    QString title;
    QWidget* parent = nullptr;
    WhenOpened about(WhenOpened::kModal, [&](QWidget* w) {
      title = w->windowTitle();
      parent = w->parentWidget();
      QTest::keyClick(w, closeKey);
    });
    dlg.SendMessage(WM_SYSCOMMAND, command);
    if (about.opened()) {
      EXPECT_EQ(parent, QtWindow(dlg)) << "modal over the main window";
    }
    return about.opened() ? title : QString();
  }
};

// The About item's id with any of the four low bits set still means About; 0x0020 does not.
TEST_F(Shell, AboutCommandAndItsLowBitsOpenTheAboutBox) {
  EXPECT_EQ(AboutTitleAfter(0x0010), QStringLiteral("关于 zerb"));
  EXPECT_EQ(AboutTitleAfter(0x001F, Qt::Key_Return), QStringLiteral("关于 zerb"));
  EXPECT_TRUE(AboutTitleAfter(0x0020).isEmpty()) << "another command goes to default processing";
  EXPECT_TRUE(QtWindow(dlg)->isVisible());
}

// The menu holds the standard items and the About item; a right-click in the background shows
// it, and its key A chooses About.
TEST_F(Shell, SystemMenuOpensOnRightClickAndAChoosesAbout) {
  CMenu* systemMenu = dlg.GetSystemMenu(FALSE);
  ASSERT_NE(systemMenu, nullptr);
  EXPECT_EQ(systemMenu->GetMenuItemID(0), SC_MOVE);
  EXPECT_EQ(systemMenu->GetMenuItemID(2), SC_CLOSE);
  EXPECT_EQ(systemMenu->GetMenuItemID(4), IDM_ABOUT);

  std::vector<std::string> items;
  QString aboutTitle;
  WhenOpened about(WhenOpened::kModal, [&](QWidget* w) {
    aboutTitle = w->windowTitle();
    QTest::keyClick(w, Qt::Key_Return);
  });
  WhenOpened menu(WhenOpened::kPopup, [&](QWidget* w) {
    for (QAction* a : static_cast<QMenu*>(w)->actions())
      items.push_back(a->text().toStdString());
    QTest::keyClick(w, Qt::Key_A);
  });
  QTest::mouseClick(QtWindow(dlg)->windowHandle(), Qt::RightButton, {}, QPoint(4, 4));
  QTest::qWait(50);
  ASSERT_TRUE(menu.opened());
  EXPECT_EQ(items,
            (std::vector<std::string>{"移动(&M)", "", "关闭(&C)\tAlt+F4", "", "关于 zerb(&A)..."}));
  EXPECT_TRUE(about.opened());
  EXPECT_EQ(aboutTitle, QStringLiteral("关于 zerb"));
}

// The X11 platform turns the Menu key into a keyboard context-menu event for the focused
// control; a button leaves it to the dialog. (Shift+F10 is driven in the end-to-end test.)
TEST_F(Shell, MenuKeyOnAButtonOpensTheSystemMenu) {
  WhenOpened menu(WhenOpened::kPopup, [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  QWidget* button = QtControl(dlg, IDOK);
  QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(2, 2),
                            button->mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(button, &menuKey);
  QTest::qWait(50);
  EXPECT_TRUE(menu.opened());
}

TEST_F(Shell, EmptyAboutStringAddsNeitherSeparatorNorItem) {
  ResourceModule module = *AfxGetResourceHandle();
  const StringResource strings[] = {{IDS_ABOUT_MENU, ""}};
  module.strings = strings;
  AfxSetResourceHandle(&module);
  CShiftDialog other;
  other.Create(IDD_SHIFT_DIALOG);
  AfxSetResourceHandle(nullptr);
  EXPECT_EQ(MenuTexts(other.GetSystemMenu(FALSE)),
            (std::vector<std::string>{"移动(&M)", "", "关闭(&C)\tAlt+F4"}));
}

TEST_F(Shell, IconGroupIsTheLargeAndSmallWindowIcon) {
  ASSERT_NE(dlg.m_hIcon, nullptr);
  EXPECT_EQ(dlg.GetIcon(TRUE), dlg.m_hIcon);
  EXPECT_EQ(dlg.GetIcon(FALSE), dlg.m_hIcon);
  EXPECT_EQ(reinterpret_cast<HICON>(dlg.SendMessage(WM_QUERYDRAGICON)), dlg.m_hIcon);
  const QList<QSize> sizes = QtWindow(dlg)->windowIcon().availableSizes();
  EXPECT_TRUE(sizes.contains(QSize(32, 32)));
  EXPECT_TRUE(sizes.contains(QSize(16, 16)));
}

// The window's own painting, without its children: a minimised window shows none of them, only
// the icon centred on the background.
TEST_F(Shell, MinimisedWindowPaintsTheIconCentred) {
  QDialog* window = QtWindow(dlg);
  window->setWindowState(Qt::WindowMinimized);
  ASSERT_TRUE(dlg.IsIconic());
  QImage shot(window->size(), QImage::Format_ARGB32);
  window->render(&shot, QPoint(), QRegion(), QWidget::DrawWindowBackground);
  window->setWindowState(Qt::WindowNoState);
  QImage expected = shot;
  expected.fill(window->palette().window().color());
  EXPECT_NE(shot, expected) << "the icon is drawn";
  QPainter(&expected).drawPixmap((window->width() - 32 + 1) / 2, (window->height() - 32 + 1) / 2,
                                 window->windowIcon().pixmap(32, 32));
  EXPECT_EQ(shot, expected);
}

// The window's close (button or Alt+F4) goes through the close command, Esc and "取消" through
// IDCANCEL; all end the form like "取消".
TEST(ShiftDialogEnd, CloseEscAndCancelEndWithIdCancel) {
  const std::function<void(CShiftDialog&, QWidget*)> acts[] = {
      [](CShiftDialog&, QWidget* w) { w->close(); },
      [](CShiftDialog&, QWidget* w) {
        QTest::keyClick(w->focusWidget(), Qt::Key_F4, Qt::AltModifier);
      },
      [](CShiftDialog&, QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); },
      [](CShiftDialog& d, QWidget*) { QTest::mouseClick(QtControl(d, IDCANCEL), Qt::LeftButton); }};
  for (const auto& act : acts)
    EXPECT_EQ(ModalResult(act), IDCANCEL);
}

TEST_F(Shell, AboutBoxFollowsItsTemplateAndClosesWithEnterAndEsc) {
  CAboutDialog about;
  ASSERT_TRUE(about.Create(IDD_ABOUT_DIALOG));
  QDialog* window = QtWindow(about);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("关于 zerb"));
  QStringList texts;
  bool icon = false;
  for (QLabel* label : window->findChildren<QLabel*>()) {
    if (!label->pixmap().isNull())
      icon = label->pixmap().size() == QSize(32, 32);
    if (!label->text().isEmpty())
      texts << label->text();
  }
  EXPECT_TRUE(icon);
  EXPECT_EQ(texts, (QStringList{"zerb 1.0 版", "版权所有 (C) 2026 zerb 开发组"}));
  auto* ok = dynamic_cast<QPushButton*>(QtControl(about, IDOK));
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->text(), QStringLiteral("确定"));
  EXPECT_TRUE(ok->isDefault());
  about.DestroyWindow();

  using Act = std::function<void(CAboutDialog&, QWidget*)>;
  EXPECT_EQ(ModalResult(Act([](CAboutDialog&, QWidget* w) {
              QTest::keyClick(w->focusWidget(), Qt::Key_Return);
            })),
            IDOK);
  EXPECT_EQ(ModalResult(Act([](CAboutDialog&, QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); })),
            IDCANCEL);
}

TEST_F(Shell, HelpCommandReachesTheApplicationAndShowsChineseHelp) {
  MessageLog log;
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
  ASSERT_EQ(log.messages.size(), 1u);
  EXPECT_NE(log.messages[0].find("转换"), std::string::npos);
}

// The start-up runs the form modally as the main window and ends the program when it closes.
TEST(Application, InitInstanceRunsTheFormAndReturnsFalse) {
  bool wasMain = false;
  WhenOpened form(WhenOpened::kModal, [&](QWidget* w) {
    wasMain = theApp.m_pMainWnd != nullptr && QtWindow(*theApp.m_pMainWnd) == w;
    QTest::keyClick(w, Qt::Key_Escape);
  });
  EXPECT_EQ(theApp.InitInstance(), FALSE);
  EXPECT_TRUE(form.opened());
  EXPECT_TRUE(wasMain);
  EXPECT_EQ(theApp.m_pMainWnd, nullptr) << "the form is gone with InitInstance's scope";
}

}  // namespace
