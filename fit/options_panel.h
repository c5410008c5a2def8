// The settings of the model panel beyond the model and its convention: the a-priori accuracy and
// the test's significance, how angles are read, the GNSS side's datum, the grid's local system,
// and the plane model's height fit and scale. They are zerb-shift's options, read through the
// same library functions, so that a value the command line refuses is refused here too.
#ifndef ZERB_FIT_OPTIONS_PANEL_H
#define ZERB_FIT_OPTIONS_PANEL_H

#include <QWidget>

#include "fit/session.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;

namespace zerb::fit {

class OptionsPanel : public QWidget {
  Q_OBJECT

 public:
  explicit OptionsPanel(QWidget* parent = nullptr);

  // The options as the fields stand, or why the fields cannot be read as options (the field at
  // fault named); whether the options go together is the session's to say (SetOptions).
  QString Options(FitOptions* options) const;
  // The plane model's own fields are open only with it.
  void SetPlane(bool plane);

 signals:
  // A field was changed by the user; Options tells whether the whole can be used.
  void changed();

 private:
  QDoubleSpinBox* Length(const char* name, double low, double high, int decimals,
                         const char* special, const char* tip);

  QDoubleSpinBox* sigma_horizontal_;
  QDoubleSpinBox* sigma_vertical_;
  QDoubleSpinBox* alpha_;
  QComboBox* angle_format_;
  QComboBox* gnss_datum_;
  QComboBox* ellipsoid_;
  QDoubleSpinBox* semi_major_;
  QDoubleSpinBox* inverse_flattening_;
  QLineEdit* central_meridian_;
  QDoubleSpinBox* false_easting_;
  QDoubleSpinBox* false_northing_;
  QDoubleSpinBox* scale_;
  QDoubleSpinBox* projection_height_;
  QComboBox* height_fit_;
  QCheckBox* fix_scale_;
};

}  // namespace zerb::fit

#endif  // ZERB_FIT_OPTIONS_PANEL_H
