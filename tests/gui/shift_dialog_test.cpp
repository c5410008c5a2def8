// The main form on screen: the convert command against the computation core, the bounds of the
// integer fields, what happens to typed text when a field is refused, keys, tab order, layout
// in dialog units, glyphs and accessible names.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <bit>
#include <cstdint>
#include <string>

#include "app/shift_dialog.h"
#include "gui_test_support.h"
#include "numtext/number_text.h"
#include "res/dialogs.h"
#include "res/resource.h"

namespace {

using zerb::geodesy::ComputeShift;
using zerb::geodesy::ShiftForm;
using zerb::numtext::ParseDouble;
using zerb::numtext::ParseInt;

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

// The form values the typed texts stand for, read by the text reader the tests pin separately.
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

class MainForm : public ShownForm {
 protected:
  void TypePoint(const TypedPoint& p) {
    const int ids[] = {IDC_GK_X,  IDC_GK_Y,  IDC_GK_H,  IDC_B_DEG, IDC_B_MIN, IDC_B_SEC,
                       IDC_WGS_H, IDC_L_DEG, IDC_L_MIN, IDC_L_SEC, IDC_L0};
    const char* const texts[] = {p.x, p.y,    p.h,    p.bDeg, p.bMin, p.bSec,
                                 p.H, p.lDeg, p.lMin, p.lSec, p.l0};
    for (std::size_t i = 0; i < std::size(ids); ++i)
      TypeInto(dlg, ids[i], QString::fromUtf8(texts[i]));
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
};

TEST_F(MainForm, OpensWithInitialValuesAndFocusOnConvert) {
  for (int id : {IDC_GK_X, IDC_GK_Y, IDC_GK_H, IDC_B_DEG, IDC_B_MIN, IDC_B_SEC, IDC_WGS_H,
                 IDC_L_DEG, IDC_L_MIN, IDC_L_SEC, IDC_DX, IDC_DY, IDC_DZ}) {
    EXPECT_EQ(TextOf(dlg, id), "0") << id;
  }
  EXPECT_EQ(TextOf(dlg, IDC_L0), "117");
  EXPECT_EQ(QApplication::focusWidget(), QtControl(dlg, IDOK));
}

// Same inputs, same core: equal bits by construction, through the text form and back. The
// texts carry more digits than a double holds, or are one unit in the last place off a round
// number, so any rewriting of a field shows.
TEST_F(MainForm, TypedPointGivesComputeShiftToTheLastBitThroughTenConversions) {
  TypedPoint p;
  p.x = "3378123.456789012345";
  p.y = "499999.99999999994";
  p.bSec = "0.1";
  p.lSec = "59.99999999999999";
  p.h = "1e-7";
  TypePoint(p);
  PressEnterIn(IDC_L0);
  ShiftForm expected = FormOf(p);
  ComputeShift(expected);
  EXPECT_TRUE(QtWindow(dlg)->isVisible()) << "converting never closes the form";
  for (int i = 0; i <= 10; ++i) {
    SCOPED_TRACE(std::to_string(i) + " conversions after the first");
    EXPECT_EQ(Bits(ResultField(IDC_DX)), Bits(expected.m_dx));
    EXPECT_EQ(Bits(ResultField(IDC_DY)), Bits(expected.m_dy));
    EXPECT_EQ(Bits(ResultField(IDC_DZ)), Bits(expected.m_dz));
    for (auto [a, b] : {std::pair{dlg.m_form.m_gridX, expected.m_gridX},
                        {dlg.m_form.m_gridY, expected.m_gridY},
                        {dlg.m_form.m_gridH, expected.m_gridH},
                        {dlg.m_form.m_latSec, expected.m_latSec},
                        {dlg.m_form.m_lonSec, expected.m_lonSec}}) {
      EXPECT_EQ(Bits(a), Bits(b));
    }
    ClickConvert();
  }
}

// One field changed and converted: accepted without a message, or refused with its message, the
// typed text kept, focused and selected, and nothing computed.
TEST_F(MainForm, FieldsAcceptTheirRangeAndRefuseTheRestWithAMessage) {
  const struct {
    int id;
    std::vector<const char*> accepted, refused;
    const char* message;
  } fields[] = {
      // Integer bounds are inclusive; minutes accept 60. Full-width text is what a Chinese input
      // method commits: it must reach the reader intact.
      {IDC_B_DEG, {"-90", "90", "－９０"}, {"91", "-91"}, "请输入一个介于 -90 和 90 之间的整数。"},
      {IDC_B_MIN, {"0", "60"}, {"61", "-1"}, "请输入一个介于 0 和 60 之间的整数。"},
      {IDC_L_MIN, {"0", "60"}, {"61", "-1"}, "请输入一个介于 0 和 60 之间的整数。"},
      {IDC_L_DEG, {"-180", "180"}, {"181", "-181"}, "请输入一个介于 -180 和 180 之间的整数。"},
      {IDC_L0, {"-180", "180"}, {"181", "-181"}, "请输入一个介于 -180 和 180 之间的整数。"},
      // Seconds, heights and coordinates have no range, but must be one number.
      {IDC_B_SEC, {"-75.5", "１２．５"}, {"12,5"}, "请输入一个数。"},
      {IDC_GK_X, {"1e9"}, {""}, "请输入一个数。"},
      {IDC_WGS_H, {"-1e9"}, {}, nullptr},
      {IDC_B_DEG, {}, {"30.5"}, "请输入一个整数。"},
      {IDC_L0, {}, {"4294967413"}, "请输入一个整数。"},  // overflows: refused, never wrapped
  };
  for (const auto& f : fields) {
    const std::string before = TextOf(dlg, f.id);
    for (const char* text : f.accepted) {
      EXPECT_TRUE(ConvertWith(f.id, text).empty()) << f.id << " \"" << text << '"';
      EXPECT_EQ(ParseDouble(TextOf(dlg, f.id)), ParseDouble(text)) << "written back as typed";
    }
    for (const char* text : f.refused) {
      SCOPED_TRACE(std::to_string(f.id) + " \"" + text + '"');
      const std::string dx = TextOf(dlg, IDC_DX);
      EXPECT_EQ(ConvertWith(f.id, text), std::vector<std::string>{f.message});
      EXPECT_EQ(TextOf(dlg, f.id), text);
      EXPECT_EQ(QApplication::focusWidget(), QtControl(dlg, f.id));
      EXPECT_EQ(EditOf(dlg, f.id)->selectedText(), QString::fromUtf8(text));
      EXPECT_EQ(TextOf(dlg, IDC_DX), dx) << "nothing was computed";
    }
    TypeInto(dlg, f.id, QString::fromStdString(before));
  }
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

// Enter in a read-only result field converts too (in an input field: the tests above).
TEST_F(MainForm, EnterInAResultFieldConverts) {
  QtControl(dlg, IDC_DZ)->setFocus();
  PressEnterIn(IDC_DZ);
  EXPECT_NE(TextOf(dlg, IDC_DX), "0") << "the initial point gives a non-zero shift";
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
  expect(IDC_B_MIN, 61, 63, 27, 13);
  expect(IDC_DZ, 126, 42, 88, 13);
  EXPECT_EQ(QtWindow(dlg)->size(), QSize(rounded(221, bx, 4), rounded(137, by, 8)));
  EXPECT_EQ(QtWindow(dlg)->minimumSize(), QtWindow(dlg)->maximumSize()) << "fixed size";
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

// The names come from the resources; what is checked is that the layer puts them on the edits.
TEST_F(MainForm, FieldsCarryTheirLabelsAsAccessibleNames) {
  for (const auto& [id, name] : {std::pair{IDC_GK_X, "x"}, {IDC_B_MIN, "B 分"}, {IDC_DZ, "dz"}})
    EXPECT_EQ(QtControl(dlg, id)->accessibleName(), QString::fromUtf8(name)) << id;
}

}  // namespace
