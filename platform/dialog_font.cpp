#include "platform/detail/dialog_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QString>
#include <QStringList>

#include "platform/afxwin.h"

namespace {

// Song/Ming-style faces with simplified Chinese, in order of preference, as Debian ships them.
const QStringList& SongFaces() {
  static const QStringList faces = {"AR PL UMing CN",      "AR PL SungtiL GB", "Noto Serif CJK SC",
                                    "Source Han Serif SC", "AR PL UKai CN",    "Noto Sans CJK SC",
                                    "WenQuanYi Zen Hei"};
  return faces;
}

void ResolveFace(const QString& face) {
  if (QFont::substitutes(face).isEmpty() && !QFontDatabase::hasFamily(face)) {
    QFont::insertSubstitutions(face, SongFaces());
  }
}

}  // namespace

QFont DialogFont(const DialogTemplate& t) {
  const QString face = QString::fromUtf8(t.faceName);
  ResolveFace(face);
  QFont font(face);
  font.setPixelSize(MulDiv(t.pointSize, 96, 72));
  font.setWeight(static_cast<QFont::Weight>(t.extended ? t.weight : FW_NORMAL));
  font.setItalic(t.extended && t.italic);
  return font;
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(letters / 26 + 1) / 2, metrics.height()};
}
