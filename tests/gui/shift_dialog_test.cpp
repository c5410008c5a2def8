// The main form on screen: the convert command against the computation core, the bounds of the
// integer fields, what happens to typed text when a field is refused, keys, tab order, layout
// in dialog units, glyphs and accessible names.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <bit>
#include <cstdint>
#include <string>

#include "app/shift_dialog.h"
#include "gui_test_support.h"
#include "platform/number_text.h"
#include "res/dialogs.h"
#include "res/resource.h"

namespace {

std::uint64_t Bits(double x) {
  return std::bit_cast<std::uint64_t>(x);
}

// A point near Hefei: grid coordinates in the 117-degree zone and the WGS-84 coordinates of
// about the same place.
struct TypedPoint {
  const char* x = "3378123.4567";
  const char* y = "512345.678";
  const char* h = "20.5";
  const char* bDeg = "30";
  const char* bMin = "31";
  const char* bSec = "12.345";
  const char* H = "36.5";
  const char* lDeg = "117";
  const char* lMin = "7";
  const char* lSec = "30.25";
  const char* l0 = "117";
};

ShiftForm FormOf(const TypedPoint& p) {
  ShiftForm f;
  f.m_gridX = *ParseDouble(p.x);
  f.m_gridY = *ParseDouble(p.y);
  f.m_gridH = *ParseDouble(p.h);
  f.m_latDeg = *ParseInt(p.bDeg);
  f.m_latMin = *ParseInt(p.bMin);
  f.m_latSec = *ParseDouble(p.bSec);
  f.m_geoH = *ParseDouble(p.H);
  f.m_lonDeg = *ParseInt(p.lDeg);
  f.m_lonMin = *ParseInt(p.lMin);
  f.m_lonSec = *ParseDouble(p.lSec);
  f.m_centralMeridian = *ParseInt(p.l0);
  return f;
}

class MainForm : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dlg.Create(IDD_SHIFT_DIALOG));
    ASSERT_TRUE(Activate(dlg));
  }
  void TearDown() override { dlg.DestroyWindow(); }

  void TypePoint(const TypedPoint& p) {
    TypeInto(dlg, IDC_GK_X, QString::fromUtf8(p.x));
    TypeInto(dlg, IDC_GK_Y, QString::fromUtf8(p.y));
    TypeInto(dlg, IDC_GK_H, QString::fromUtf8(p.h));
    TypeInto(dlg, IDC_B_DEG, QString::fromUtf8(p.bDeg));
    TypeInto(dlg, IDC_B_MIN, QString::fromUtf8(p.bMin));
    TypeInto(dlg, IDC_B_SEC, QString::fromUtf8(p.bSec));
    TypeInto(dlg, IDC_WGS_H, QString::fromUtf8(p.H));
    TypeInto(dlg, IDC_L_DEG, QString::fromUtf8(p.lDeg));
    TypeInto(dlg, IDC_L_MIN, QString::fromUtf8(p.lMin));
    TypeInto(dlg, IDC_L_SEC, QString::fromUtf8(p.lSec));
    TypeInto(dlg, IDC_L0, QString::fromUtf8(p.l0));
  }

  void PressEnterIn(int id) { QTest::keyClick(QtControl(dlg, id), Qt::Key_Return); }
  void ClickConvert() { QTest::mouseClick(QtControl(dlg, IDOK), Qt::LeftButton); }

  double ResultField(int id) { return ParseDouble(TextOf(dlg, id)).value_or(-1.0); }

  // Types v into field id, converts, and returns the messages it drew (none when accepted).
  std::vector<std::string> ConvertWith(int id, const char* v) {
    MessageLog log;
    TypeInto(dlg, id, QString::fromUtf8(v));
    ClickConvert();
    return log.messages;
  }

  CShiftDialog dlg;
};

TEST_F(MainForm, OpensWithInitialValuesAndFocusOnConvert) {
  for (int id : {IDC_GK_X, IDC_GK_Y, IDC_GK_H, IDC_B_DEG, IDC_B_MIN, IDC_B_SEC, IDC_WGS_H,
                 IDC_L_DEG, IDC_L_MIN, IDC_L_SEC, IDC_DX, IDC_DY, IDC_DZ}) {
    EXPECT_EQ(TextOf(dlg, id), "0") << id;
  }
  EXPECT_EQ(TextOf(dlg, IDC_L0), "117");
  EXPECT_EQ(QApplication::focusWidget(), QtControl(dlg, IDOK));
  EXPECT_EQ(QtWindow(dlg)->windowTitle(), QStringLiteral("求转换参数"));
}

TEST_F(MainForm, TypedPointGivesComputeShiftToTheLastBit) {
  const TypedPoint p;
  TypePoint(p);
  PressEnterIn(IDC_L0);
  ShiftForm expected = FormOf(p);
  ComputeShift(expected);
  // Same inputs, same core: equal bits by construction, through the text form and back.
  EXPECT_EQ(Bits(ResultField(IDC_DX)), Bits(expected.m_dx));
  EXPECT_EQ(Bits(ResultField(IDC_DY)), Bits(expected.m_dy));
  EXPECT_EQ(Bits(ResultField(IDC_DZ)), Bits(expected.m_dz));
  EXPECT_EQ(Bits(dlg.m_form.m_dx), Bits(expected.m_dx));
  EXPECT_TRUE(QtWindow(dlg)->isVisible()) << "converting never closes the form";
}

TEST_F(MainForm, FullWidthDigitsOfAnInputMethodConvertLikeAscii) {
  TypedPoint p;
  TypePoint(p);
  TypeInto(dlg, IDC_GK_X, QStringLiteral("３３７８１２３．４５６７"));
  TypeInto(dlg, IDC_B_DEG, QStringLiteral("３０"));
  MessageLog log;
  ClickConvert();
  EXPECT_TRUE(log.messages.empty());
  ShiftForm expected = FormOf(p);
  ComputeShift(expected);
  EXPECT_EQ(Bits(dlg.m_form.m_dx), Bits(expected.m_dx));
  EXPECT_EQ(TextOf(dlg, IDC_GK_X), "3378123.4567") << "written back in ASCII";
}

TEST_F(MainForm, LatitudeDegreesBoundsAreMinus90To90Inclusive) {
  EXPECT_TRUE(ConvertWith(IDC_B_DEG, "-90").empty());
  EXPECT_TRUE(ConvertWith(IDC_B_DEG, "90").empty());
  EXPECT_EQ(ConvertWith(IDC_B_DEG, "91"),
            std::vector<std::string>{"请输入一个介于 -90 和 90 之间的整数。"});
  EXPECT_EQ(ConvertWith(IDC_B_DEG, "-91"),
            std::vector<std::string>{"请输入一个介于 -90 和 90 之间的整数。"});
}

// "-0" in a degrees field used to read as 0, so -0 7 39 silently converted the point east of
// Greenwich instead of west. Now it is refused with a message on how to type such an angle.
TEST_F(MainForm, MinusZeroDegreesAreRefusedNotMadePositive) {
  TypeInto(dlg, IDC_L_MIN, "7");
  const std::vector<std::string> messages = ConvertWith(IDC_L_DEG, "-0");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("-459"), std::string::npos) << messages[0];
  EXPECT_EQ(TextOf(dlg, IDC_L_DEG), "-0");
  EXPECT_EQ(TextOf(dlg, IDC_DX), "0") << "nothing was computed";
}

TEST_F(MainForm, MinutesBoundsAre0To60Inclusive) {
  for (int id : {IDC_B_MIN, IDC_L_MIN}) {
    EXPECT_TRUE(ConvertWith(id, "0").empty()) << id;
    EXPECT_TRUE(ConvertWith(id, "60").empty()) << id;
    EXPECT_EQ(ConvertWith(id, "61"),
              std::vector<std::string>{"请输入一个介于 0 和 60 之间的整数。"});
    EXPECT_EQ(ConvertWith(id, "-1"),
              std::vector<std::string>{"请输入一个介于 0 和 60 之间的整数。"});
    TypeInto(dlg, id, "0");
  }
}

TEST_F(MainForm, LongitudeAndCentralMeridianBoundsAreMinus180To180Inclusive) {
  for (int id : {IDC_L_DEG, IDC_L0}) {
    EXPECT_TRUE(ConvertWith(id, "-180").empty()) << id;
    EXPECT_TRUE(ConvertWith(id, "180").empty()) << id;
    EXPECT_EQ(ConvertWith(id, "181"),
              std::vector<std::string>{"请输入一个介于 -180 和 180 之间的整数。"});
    EXPECT_EQ(ConvertWith(id, "-181"),
              std::vector<std::string>{"请输入一个介于 -180 和 180 之间的整数。"});
    TypeInto(dlg, id, "117");
  }
}

TEST_F(MainForm, SecondsHeightsAndCoordinatesHaveNoRange) {
  for (int id : {IDC_B_SEC, IDC_L_SEC, IDC_GK_H, IDC_WGS_H, IDC_GK_X, IDC_GK_Y}) {
    EXPECT_TRUE(ConvertWith(id, "-75.5").empty()) << id;
    EXPECT_TRUE(ConvertWith(id, "1e9").empty()) << id;
  }
}

TEST_F(MainForm, UnparsableFieldsGetTheirMessage) {
  EXPECT_EQ(ConvertWith(IDC_B_SEC, "12,5"), std::vector<std::string>{"请输入一个数。"});
  TypeInto(dlg, IDC_B_SEC, "0");
  EXPECT_EQ(ConvertWith(IDC_B_DEG, "30.5"), std::vector<std::string>{"请输入一个整数。"});
  TypeInto(dlg, IDC_B_DEG, "0");
  EXPECT_EQ(ConvertWith(IDC_L0, "4294967413"), std::vector<std::string>{"请输入一个整数。"})
      << "an overflowing int is refused, never wrapped";
  TypeInto(dlg, IDC_L0, "117");
  EXPECT_EQ(ConvertWith(IDC_GK_X, ""), std::vector<std::string>{"请输入一个数。"});
}

// The convert command used to compute and write back even when a field was refused: the
// refused text was replaced by the old value, everything typed after it was thrown away, and
// results from mixed old and new inputs were shown. Now nothing is computed or written.
TEST_F(MainForm, RefusedFieldDoesNotDiscardLaterTyping) {
  const TypedPoint p;
  TypePoint(p);
  ClickConvert();
  const std::string dx = TextOf(dlg, IDC_DX), dy = TextOf(dlg, IDC_DY), dz = TextOf(dlg, IDC_DZ);
  const double oldLonSec = dlg.m_form.m_lonSec;

  TypeInto(dlg, IDC_GK_X, "3378200");
  TypeInto(dlg, IDC_B_MIN, "3l");  // a slip of the finger
  TypeInto(dlg, IDC_L_SEC, "45.75");
  TypeInto(dlg, IDC_L0, "120");
  MessageLog log;
  PressEnterIn(IDC_L0);

  EXPECT_EQ(log.messages, std::vector<std::string>{"请输入一个整数。"});
  EXPECT_EQ(TextOf(dlg, IDC_GK_X), "3378200");
  EXPECT_EQ(TextOf(dlg, IDC_B_MIN), "3l");
  EXPECT_EQ(TextOf(dlg, IDC_L_SEC), "45.75");
  EXPECT_EQ(TextOf(dlg, IDC_L0), "120");
  EXPECT_EQ(TextOf(dlg, IDC_DX), dx) << "results stay those of the last valid conversion";
  EXPECT_EQ(TextOf(dlg, IDC_DY), dy);
  EXPECT_EQ(TextOf(dlg, IDC_DZ), dz);
  EXPECT_EQ(Bits(dlg.m_form.m_lonSec), Bits(oldLonSec)) << "read-back stopped at the bad field";
  QLineEdit* bad = EditOf(dlg, IDC_B_MIN);
  EXPECT_EQ(QApplication::focusWidget(), bad);
  EXPECT_EQ(bad->selectedText(), QStringLiteral("3l"));

  // Correcting the one field converts everything that was typed.
  QTest::keyClicks(bad, "31");
  ClickConvert();
  TypedPoint q = p;
  q.x = "3378200";
  q.lSec = "45.75";
  q.l0 = "120";
  ShiftForm expected = FormOf(q);
  ComputeShift(expected);
  EXPECT_EQ(Bits(ResultField(IDC_DX)), Bits(expected.m_dx));
  EXPECT_EQ(Bits(ResultField(IDC_DY)), Bits(expected.m_dy));
  EXPECT_EQ(Bits(ResultField(IDC_DZ)), Bits(expected.m_dz));
}

TEST_F(MainForm, OutOfRangeFieldKeepsEverythingTypedAndIsSelected) {
  TypeInto(dlg, IDC_B_DEG, "91");
  TypeInto(dlg, IDC_WGS_H, "-12.5");
  MessageLog log;
  ClickConvert();
  ASSERT_EQ(log.messages.size(), 1u);
  EXPECT_EQ(TextOf(dlg, IDC_B_DEG), "91");
  EXPECT_EQ(TextOf(dlg, IDC_WGS_H), "-12.5");
  EXPECT_EQ(TextOf(dlg, IDC_DX), "0");
  EXPECT_EQ(QApplication::focusWidget(), QtControl(dlg, IDC_B_DEG));
  EXPECT_EQ(EditOf(dlg, IDC_B_DEG)->selectedText(), QStringLiteral("91"));
}

TEST_F(MainForm, TypedValuesSurviveTenConversionsBitForBit) {
  TypedPoint p;
  p.x = "3378123.456789012345";  // more digits than a double holds
  p.y = "499999.99999999994";
  p.bSec = "0.1";
  p.lSec = "59.99999999999999";
  p.h = "1e-7";
  TypePoint(p);
  const ShiftForm typed = FormOf(p);
  ClickConvert();
  const ShiftForm first = dlg.m_form;
  for (int i = 0; i < 10; ++i)
    ClickConvert();
  for (auto [a, b] : {std::pair{dlg.m_form.m_gridX, typed.m_gridX},
                      {dlg.m_form.m_gridY, typed.m_gridY},
                      {dlg.m_form.m_gridH, typed.m_gridH},
                      {dlg.m_form.m_latSec, typed.m_latSec},
                      {dlg.m_form.m_lonSec, typed.m_lonSec},
                      {dlg.m_form.m_dx, first.m_dx},
                      {dlg.m_form.m_dy, first.m_dy},
                      {dlg.m_form.m_dz, first.m_dz}}) {
    EXPECT_EQ(Bits(a), Bits(b));
  }
}

TEST_F(MainForm, NonFiniteResultDoesNotBlockTheNextConversion) {
  // A footpoint at the pole divides by cos Bf = 0-ish; whatever comes out is written and read
  // back without a message.
  TypePoint(TypedPoint{});
  TypeInto(dlg, IDC_GK_X, "1e300");
  ClickConvert();
  MessageLog log;
  ClickConvert();
  EXPECT_TRUE(log.messages.empty()) << TextOf(dlg, IDC_DX);
}

TEST_F(MainForm, EnterInAnyFieldConverts) {
  for (int id : {IDC_GK_X, IDC_B_SEC, IDC_L0, IDC_DZ}) {
    TypeInto(dlg, IDC_GK_Y, "0");
    ClickConvert();
    const std::string before = TextOf(dlg, IDC_DY);
    TypeInto(dlg, IDC_GK_Y, "500000");
    QtControl(dlg, id)->setFocus();
    PressEnterIn(id);
    EXPECT_NE(TextOf(dlg, IDC_DY), before) << id;
    EXPECT_TRUE(QtWindow(dlg)->isVisible()) << id;
  }
}

TEST_F(MainForm, TabOrderFollowsTheTemplate) {
  const int expected[] = {IDOK,      IDCANCEL,  IDC_GK_X,  IDC_GK_Y,  IDC_GK_H,  IDC_B_DEG,
                          IDC_B_MIN, IDC_B_SEC, IDC_L_DEG, IDC_L_MIN, IDC_L_SEC, IDC_WGS_H,
                          IDC_L0,    IDC_DX,    IDC_DY,    IDC_DZ,    IDOK};
  QtControl(dlg, IDOK)->setFocus(Qt::TabFocusReason);
  for (int id : expected) {
    EXPECT_EQ(QApplication::focusWidget(), QtControl(dlg, id)) << id;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
}

TEST_F(MainForm, ResultFieldsAreReadOnlyButCopyable) {
  TypePoint(TypedPoint{});
  ClickConvert();
  QLineEdit* dx = EditOf(dlg, IDC_DX);
  EXPECT_TRUE(dx->isReadOnly());
  dx->setFocus();
  QTest::keyClick(dx, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(dx, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(), TextOf(dlg, IDC_DX));
  QTest::keyClicks(dx, "123");
  EXPECT_EQ(dx->text().toStdString(), FormatDouble(dlg.m_form.m_dx));
}

// Pixel rectangles from dialog units: x * base.x / 4 and y * base.y / 8, each rounded to
// nearest, with base units from the dialog font's Latin letters and height.
TEST_F(MainForm, ControlRectanglesFollowTheDialogUnits) {
  const QFontMetrics metrics(QtWindow(dlg)->font());
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  const int bx = (letters / 26 + 1) / 2;
  const int by = metrics.height();
  ASSERT_GE(bx, 4);  // a 12-pixel CJK face: about 6 by 12
  ASSERT_GE(by, 10);
  const auto rounded = [](int v, int base, int units) { return (v * base + units / 2) / units; };
  const auto expect = [&](int id, int x, int y, int w, int h) {
    EXPECT_EQ(QtControl(dlg, id)->geometry(),
              QRect(rounded(x, bx, 4), rounded(y, by, 8), rounded(w, bx, 4), rounded(h, by, 8)))
        << id;
  };
  expect(IDOK, 41, 116, 50, 14);
  expect(IDCANCEL, 124, 114, 50, 14);
  expect(IDC_GK_X, 22, 10, 88, 13);
  expect(IDC_B_MIN, 61, 63, 27, 13);
  expect(IDC_L0, 115, 96, 41, 13);
  expect(IDC_DZ, 126, 42, 88, 13);
  EXPECT_EQ(QtWindow(dlg)->size(), QSize(rounded(221, bx, 4), rounded(137, by, 8)));
  EXPECT_EQ(QtWindow(dlg)->minimumSize(), QtWindow(dlg)->maximumSize()) << "fixed size";
  EXPECT_GT(QtControl(dlg, IDOK)->y(), QtControl(dlg, IDCANCEL)->y());
}

TEST_F(MainForm, LabelsAlignAsTheTemplateSays) {
  int right = 0, left = 0;
  for (QLabel* label : QtWindow(dlg)->findChildren<QLabel*>()) {
    const QString t = label->text();
    const bool rightAligned = t == "x" || t == "y" || t == "h" || t == "B" || t == "L" ||
                              t == "H" || t == "dx" || t == "dy" || t == "dz";
    EXPECT_EQ(label->alignment() & Qt::AlignHorizontal_Mask,
              rightAligned ? Qt::AlignRight : Qt::AlignLeft)
        << t.toStdString();
    ++(rightAligned ? right : left);
  }
  EXPECT_EQ(right, 9);
  EXPECT_EQ(left, 8);
}

TEST_F(MainForm, ChineseTextIsDrawnWithRealGlyphs) {
  const QFontMetrics metrics(QtWindow(dlg)->font());
  QString text = QtWindow(dlg)->windowTitle();
  for (const DialogItemTemplate& item : kShiftDialogTemplate.items)
    text += QString::fromUtf8(item.text);
  for (const DialogItemTemplate& item : kAboutDialogTemplate.items) {
    if (item.text != nullptr)
      text += QString::fromUtf8(item.text);
  }
  for (const char32_t c : text.toStdU32String()) {
    EXPECT_TRUE(metrics.inFontUcs4(c)) << "U+" << std::hex << static_cast<unsigned>(c);
  }
}

TEST_F(MainForm, FieldsCarryTheirLabelsAsAccessibleNames) {
  const std::pair<int, const char*> names[] = {
      {IDC_GK_X, "x"},     {IDC_GK_Y, "y"},     {IDC_GK_H, "h"},  {IDC_B_DEG, "B 度"},
      {IDC_B_MIN, "B 分"}, {IDC_B_SEC, "B 秒"}, {IDC_WGS_H, "H"}, {IDC_L_DEG, "L 度"},
      {IDC_L_MIN, "L 分"}, {IDC_L_SEC, "L 秒"}, {IDC_L0, "L0"},   {IDC_DX, "dx"},
      {IDC_DY, "dy"},      {IDC_DZ, "dz"}};
  for (const auto& [id, name] : names) {
    EXPECT_EQ(QtControl(dlg, id)->accessibleName(), QString::fromUtf8(name)) << id;
  }
}

}  // namespace
