// The forms in which the window hands on a fit's parameters and definitions: which of them the
// model has, and their text for the clipboard or a file.
#ifndef ZERB_FIT_EXPORT_FORMS_H
#define ZERB_FIT_EXPORT_FORMS_H

#include <QString>

#include <vector>

#include "fit/session.h"
#include "writers/format.h"

namespace zerb::fit {

struct ExportForm {
  Format format;
  QString label;   // the menu's entry
  QString filter;  // the save dialog's filter
  QString suffix;  // added to a file name given without one
};

// Every export form of the library, in the menu's order.
const std::vector<ExportForm>& ExportForms();

// Whether the model has the form at all: the plane model has no geocentric parameters and no
// CRS form, the three and seven parameters no plane parameters.
bool ModelHasForm(Format format, bool plane);

// The library's text of the fit in the form, or why it gives none (then text is empty).
QString ExportText(const Session& session, Format format, QString* text);

// Puts the form's text on the clipboard; an empty text, or why nothing was copied.
QString CopyExport(const Session& session, Format format);

}  // namespace zerb::fit

#endif  // ZERB_FIT_EXPORT_FORMS_H
