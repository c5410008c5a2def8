// The style sheet moved into the elements; see svg_styles.h.
#include "fit/svg_styles.h"

#include <QHash>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace zerb::fit {

QByteArray InlineStyles(const QByteArray& svg) {
  QString text = QString::fromUtf8(svg);
  static const QRegularExpression clip(QStringLiteral("<clipPath[^>]*>.*?</clipPath>\\n?"),
                                       QRegularExpression::DotMatchesEverythingOption);
  text.remove(clip);
  static const QRegularExpression sheet(QStringLiteral("<style>(.*?)</style>\\n?"),
                                        QRegularExpression::DotMatchesEverythingOption);
  const QRegularExpressionMatch found = sheet.match(text);
  if (!found.hasMatch())
    return text.toUtf8();
  // The sheet's rules by selector: "text" for a tag, ".panel" for a class.
  QHash<QString, QString> rules;
  static const QRegularExpression rule(QStringLiteral("([.\\w-]+)\\s*\\{([^}]*)\\}"));
  for (auto it = rule.globalMatch(found.captured(1)); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    rules[m.captured(1)] += m.captured(2).trimmed();
  }
  text.remove(found.capturedStart(), found.capturedLength());

  static const QRegularExpression element(QStringLiteral("<(\\w+)([^>]*)>"));
  static const QRegularExpression classes(QStringLiteral("\\sclass=\"([^\"]*)\""));
  QString out;
  out.reserve(text.size() * 2);
  qsizetype at = 0;
  for (auto it = element.globalMatch(text); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    out += QStringView(text).mid(at, m.capturedStart() - at);
    at = m.capturedEnd();
    QString style = rules.value(m.captured(1));
    QString attributes = m.captured(2);
    if (const QRegularExpressionMatch c = classes.match(attributes); c.hasMatch()) {
      for (const QString& name : c.captured(1).split(u' ', Qt::SkipEmptyParts)) {
        const QString declarations = rules.value(u'.' + name);
        if (!declarations.isEmpty())
          style += (style.isEmpty() || style.endsWith(u';') ? QString() : QStringLiteral(";")) +
                   declarations;
      }
    }
    if (style.isEmpty()) {
      out += m.captured(0);
      continue;
    }
    // A closing "/" stays last.
    const bool empty = attributes.endsWith(u'/');
    if (empty)
      attributes.chop(1);
    out += u'<' + m.captured(1) + attributes + QStringLiteral(" style=\"") + style + u'"' +
           (empty ? QStringLiteral("/>") : QStringLiteral(">"));
  }
  out += QStringView(text).mid(at);
  return out.toUtf8();
}

}  // namespace zerb::fit
