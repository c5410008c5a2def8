// The residual picture's style sheet written into its elements for Qt SVG. The library's SVG
// styles its elements through classes in a <style> element, as browsers and GIS tools read it;
// Qt SVG renders SVG Tiny 1.2, which has no style sheets, and draws every classed shape in its
// default black. So before the window shows the picture, each rule of the sheet (a tag such as
// "text", or a class such as ".panel") goes into the style attribute of every element it
// selects, the tag's rule before the classes' in their order, as the sheet would cascade them.
// Nor does Qt SVG clip: it draws a <clipPath>'s rectangle as a black shape over the picture, so
// the clip paths go (what they keep inside the panel is drawn unclipped).
#ifndef ZERB_FIT_SVG_STYLES_H
#define ZERB_FIT_SVG_STYLES_H

#include <QByteArray>

namespace zerb::fit {

// The svg with its style sheet moved into style attributes and without clip paths; unchanged
// when it has neither.
QByteArray InlineStyles(const QByteArray& svg);

}  // namespace zerb::fit

#endif  // ZERB_FIT_SVG_STYLES_H
