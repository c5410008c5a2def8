// The application shell around the form: start-up and exit, the system menu and its About
// item, the About box, the window icon, help, and the platform's message boxes.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
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

// The form, shown as the application's main window.
class Shell : public testing::Test {
 protected:
  void SetUp() override {
    theApp.m_pMainWnd = &dlg;
    ASSERT_TRUE(dlg.Create(IDD_SHIFT_DIALOG));
    ASSERT_TRUE(Activate(dlg));
  }
  void TearDown() override {
    dlg.DestroyWindow();
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

  CShiftDialog dlg;
};

TEST_F(Shell, SystemMenuHoldsTheStandardItemsAndTheAboutItem) {
  CMenu* menu = dlg.GetSystemMenu(FALSE);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(MenuTexts(menu),
            (std::vector<std::string>{"移动(&M)", "", "关闭(&C)\tAlt+F4", "", "关于 zerb(&A)..."}));
  EXPECT_EQ(menu->GetMenuItemID(0), SC_MOVE);
  EXPECT_EQ(menu->GetMenuItemID(2), SC_CLOSE);
  EXPECT_EQ(menu->GetMenuItemID(4), IDM_ABOUT);
}

TEST_F(Shell, AboutCommandAndItsLowBitsOpenTheAboutBox) {
  EXPECT_EQ(AboutTitleAfter(0x0010), QStringLiteral("关于 zerb"));
  EXPECT_EQ(AboutTitleAfter(0x001F, Qt::Key_Return), QStringLiteral("关于 zerb"));
  EXPECT_EQ(AboutTitleAfter(0x0013), QStringLiteral("关于 zerb"));
  EXPECT_TRUE(AboutTitleAfter(0x0020).isEmpty()) << "another command goes to default processing";
  EXPECT_TRUE(QtWindow(dlg)->isVisible());
}

TEST_F(Shell, RightClickInTheBackgroundOpensTheSystemMenuAndAChoosesAbout) {
  QStringList items;
  QString aboutTitle;
  WhenOpened about(WhenOpened::kModal, [&](QWidget* w) {
    aboutTitle = w->windowTitle();
    QTest::keyClick(w, Qt::Key_Return);
  });
  WhenOpened menu(WhenOpened::kPopup, [&](QWidget* w) {
    for (QAction* a : static_cast<QMenu*>(w)->actions())
      items << a->text();
    QTest::keyClick(w, Qt::Key_A);
  });
  QTest::mouseClick(QtWindow(dlg)->windowHandle(), Qt::RightButton, {}, QPoint(4, 4));
  QTest::qWait(50);
  ASSERT_TRUE(menu.opened());
  EXPECT_EQ(items, (QStringList{"移动(&M)", "", "关闭(&C)\tAlt+F4", "", "关于 zerb(&A)..."}));
  EXPECT_TRUE(about.opened());
  EXPECT_EQ(aboutTitle, QStringLiteral("关于 zerb"));
}

TEST_F(Shell, ShiftF10AndTheMenuKeyOpenTheSystemMenu) {
  QtControl(dlg, IDOK)->setFocus();
  WhenOpened byShiftF10(WhenOpened::kPopup, [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  QTest::keyClick(QtWindow(dlg)->windowHandle(), Qt::Key_F10, Qt::ShiftModifier);
  QTest::qWait(50);
  EXPECT_TRUE(byShiftF10.opened());

  // The X11 platform turns the Menu key into a keyboard context-menu event for the focused
  // control; a button leaves it to the dialog.
  WhenOpened byMenuKey(WhenOpened::kPopup, [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  QWidget* button = QtControl(dlg, IDOK);
  QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(2, 2),
                            button->mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(button, &menuKey);
  QTest::qWait(50);
  EXPECT_TRUE(byMenuKey.opened());
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

TEST_F(Shell, MinimisedWindowPaintsTheIconCentred) {
  QDialog* window = QtWindow(dlg);
  window->setWindowState(Qt::WindowMinimized);
  ASSERT_TRUE(dlg.IsIconic());
  // The window's own painting, without its children: a minimised window shows none of them.
  QImage shot(window->size(), QImage::Format_ARGB32);
  window->render(&shot, QPoint(), QRegion(), QWidget::DrawWindowBackground);
  const QImage expected =
      QtWindow(dlg)->windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
  const int x = (window->width() - 32 + 1) / 2;
  const int y = (window->height() - 32 + 1) / 2;
  int opaque = 0;
  for (int j = 0; j < 32; ++j) {
    for (int i = 0; i < 32; ++i) {
      const QRgb want = expected.pixel(i, j);
      if (qAlpha(want) != 255)
        continue;
      ++opaque;
      ASSERT_EQ(shot.pixel(x + i, y + j), want) << i << ',' << j;
    }
  }
  EXPECT_GT(opaque, 100);
  // Nothing but the icon: the fields are not painted while minimised.
  EXPECT_EQ(shot.pixel(2, 2), window->palette().window().color().rgba());
  window->setWindowState(Qt::WindowNoState);
}

TEST_F(Shell, CloseCommandEndsTheFormLikeCancel) {
  dlg.DestroyWindow();
  const auto endsWith = [](std::function<void(CShiftDialog&, QWidget*)> act) {
    CShiftDialog modal;
    WhenOpened opened(WhenOpened::kModal, [&](QWidget* w) { act(modal, w); });
    const INT_PTR result = modal.DoModal();
    EXPECT_TRUE(opened.opened());
    return result;
  };
  EXPECT_EQ(endsWith([](CShiftDialog& d, QWidget*) { d.SendMessage(WM_SYSCOMMAND, SC_CLOSE); }),
            IDCANCEL);
  EXPECT_EQ(endsWith([](CShiftDialog&, QWidget* w) { w->close(); }), IDCANCEL);
  EXPECT_EQ(endsWith([](CShiftDialog&, QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }),
            IDCANCEL);
  EXPECT_EQ(endsWith([](CShiftDialog&, QWidget* w) {
              QTest::keyClick(w->focusWidget(), Qt::Key_F4, Qt::AltModifier);
            }),
            IDCANCEL);
  EXPECT_EQ(endsWith([](CShiftDialog& d, QWidget*) {
              QTest::mouseClick(QtControl(d, IDCANCEL), Qt::LeftButton);
            }),
            IDCANCEL);
}

TEST_F(Shell, AboutBoxFollowsItsTemplateAndClosesWithOkEnterAndEsc) {
  CAboutDialog about;
  ASSERT_TRUE(about.Create(IDD_ABOUT_DIALOG));
  QDialog* window = QtWindow(about);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("关于 zerb"));
  EXPECT_EQ(window->parentWidget(), QtWindow(dlg)) << "owned by the main window";
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

  const auto closesWith = [](std::function<void(QWidget*)> act) {
    CAboutDialog modal;
    WhenOpened opened(WhenOpened::kModal, act);
    const INT_PTR result = modal.DoModal();
    EXPECT_TRUE(opened.opened());
    return result;
  };
  EXPECT_EQ(closesWith([](QWidget* w) { QTest::keyClick(w->focusWidget(), Qt::Key_Return); }),
            IDOK);
  EXPECT_EQ(closesWith([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }), IDCANCEL);
  EXPECT_EQ(closesWith([](QWidget* w) {
              QTest::mouseClick(w->findChild<QPushButton*>(), Qt::LeftButton);
            }),
            IDOK);
}

TEST_F(Shell, HelpCommandReachesTheApplicationAndShowsChineseHelp) {
  MessageLog log;
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
  ASSERT_EQ(log.messages.size(), 1u);
  EXPECT_NE(log.messages[0].find("转换"), std::string::npos);
  EXPECT_TRUE(theApp.OnCmdMsg(ID_HELP));
}

TEST_F(Shell, MessageBoxIsTitledWithTheProgramNameAndClosesWithEnter) {
  QString title, text;
  WhenOpened box(WhenOpened::kModal, [&](QWidget* w) {
    title = w->windowTitle();
    if (auto* m = dynamic_cast<QMessageBox*>(w))
      text = m->text();
    QTest::keyClick(w, Qt::Key_Return);
  });
  TypeInto(dlg, IDC_B_DEG, "x");
  QTest::mouseClick(QtControl(dlg, IDOK), Qt::LeftButton);
  ASSERT_TRUE(box.opened());
  EXPECT_EQ(title, QStringLiteral("zerb"));
  EXPECT_EQ(text, QStringLiteral("请输入一个整数。"));
  EXPECT_EQ(QtWindow(dlg)->focusWidget(), QtControl(dlg, IDC_B_DEG));
}

TEST_F(Shell, FormHasNoMinimiseOrMaximiseButtonAndIsAnApplicationWindow) {
  const Qt::WindowFlags flags = QtWindow(dlg)->windowFlags();
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Window) << "a normal toplevel, on the task bar";
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

TEST(Resources, VersionBlockHoldsEveryValue) {
  const VersionInfo* v = AfxGetResourceHandle()->version;
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(std::vector<WORD>(v->fileVersion, v->fileVersion + 4), (std::vector<WORD>{1, 0, 0, 1}));
  EXPECT_EQ(std::vector<WORD>(v->productVersion, v->productVersion + 4),
            (std::vector<WORD>{1, 0, 0, 1}));
  EXPECT_EQ(v->fileFlagsMask, 0x3Fu);
  EXPECT_EQ(v->fileFlags, 0u);
  EXPECT_EQ(v->fileOS, 4u);
  EXPECT_EQ(v->fileType, 1u);
  EXPECT_EQ(v->language, 0x0804);
  EXPECT_EQ(v->codePage, 0x04B0);
  EXPECT_STREQ(v->stringTableKey, "080404b0");
  std::vector<std::string> keys;
  for (const VersionString& s : v->strings)
    keys.emplace_back(s.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"Comments", "CompanyName", "FileDescription",
                                            "FileVersion", "InternalName", "LegalCopyright",
                                            "LegalTrademarks", "OriginalFilename", "PrivateBuild",
                                            "ProductName", "ProductVersion", "SpecialBuild"}));
  EXPECT_STREQ(v->strings[2].value, "求取参数变换的转换参数");
  EXPECT_STREQ(v->strings[9].value, "zerb 应用程序");
  EXPECT_STREQ(v->strings[10].value, "1, 0, 0, 1");
}

}  // namespace
