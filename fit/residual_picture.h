// The residual picture in the window: the SVG the library draws for --plot, shown by Qt SVG in a
// graphics view that zooms with the wheel (about the pointer) and fits the picture to the view
// with a double-click.
#ifndef ZERB_FIT_RESIDUAL_PICTURE_H
#define ZERB_FIT_RESIDUAL_PICTURE_H

#include <QGraphicsView>

class QGraphicsSvgItem;
class QSvgRenderer;

namespace zerb::fit {

class ResidualPicture : public QGraphicsView {
  Q_OBJECT

 public:
  explicit ResidualPicture(QWidget* parent = nullptr);
  ~ResidualPicture() override;

  // Shows the picture; an empty svg clears it and shows why there is none.
  void Show(const QByteArray& svg, const QString& why_none);
  bool has_picture() const { return item_ != nullptr; }
  // How far the picture is zoomed, 1 when it fits the view.
  double zoom() const { return zoom_; }
  void ZoomBy(double factor);

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FitToView();

  QSvgRenderer* renderer_;
  QGraphicsSvgItem* item_ = nullptr;
  double zoom_ = 1;
};

}  // namespace zerb::fit

#endif  // ZERB_FIT_RESIDUAL_PICTURE_H
