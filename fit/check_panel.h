// The check points' panel: how well the fit carries to the points it did not see, as the count,
// root mean square and largest of the checks' residuals, horizontally and in height.
#ifndef ZERB_FIT_CHECK_PANEL_H
#define ZERB_FIT_CHECK_PANEL_H

#include <QWidget>

#include "fit/session.h"

class QLabel;

namespace zerb::fit {

class CheckPanel : public QWidget {
  Q_OBJECT

 public:
  explicit CheckPanel(QWidget* parent = nullptr);

  // Shows the checks of the session's fit, or why there are none.
  void Show(const Session& session);

 private:
  QLabel* count_;
  QLabel* horizontal_;
  QLabel* vertical_;
};

}  // namespace zerb::fit

#endif  // ZERB_FIT_CHECK_PANEL_H
