// The residual picture in the window; see residual_picture.h.
#include "fit/residual_picture.h"

#include "fit/svg_styles.h"

#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsSvgItem>
#include <QSvgRenderer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace zerb::fit {

ResidualPicture::ResidualPicture(QWidget* parent)
    : QGraphicsView(parent), renderer_(new QSvgRenderer(this)) {
  setScene(new QGraphicsScene(this));
  setDragMode(QGraphicsView::ScrollHandDrag);
  setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
  setRenderHint(QPainter::Antialiasing);
}

ResidualPicture::~ResidualPicture() = default;

void ResidualPicture::Show(const QByteArray& svg, const QString& why_none) {
  scene()->clear();
  item_ = nullptr;
  if (svg.isEmpty() || !renderer_->load(InlineStyles(svg))) {
    scene()->addSimpleText(why_none);
    resetTransform();
    zoom_ = 1;
    return;
  }
  item_ = new QGraphicsSvgItem;
  item_->setSharedRenderer(renderer_);
  scene()->addItem(item_);
  scene()->setSceneRect(item_->boundingRect());
  FitToView();
}

void ResidualPicture::FitToView() {
  zoom_ = 1;
  if (item_ != nullptr)
    fitInView(item_, Qt::KeepAspectRatio);
}

void ResidualPicture::ZoomBy(double factor) {
  // Between a tenth of the fitted size and forty times it: beyond, nothing more is to be seen.
  const double zoom = std::clamp(zoom_ * factor, 0.1, 40.0);
  scale(zoom / zoom_, zoom / zoom_);
  zoom_ = zoom;
}

void ResidualPicture::wheelEvent(QWheelEvent* event) {
  // One notch of the wheel (120 eighths of a degree) zooms by a fifth.
  ZoomBy(std::pow(1.2, event->angleDelta().y() / 120.0));
  event->accept();
}

void ResidualPicture::mouseDoubleClickEvent(QMouseEvent* event) {
  FitToView();
  event->accept();
}

void ResidualPicture::resizeEvent(QResizeEvent* event) {
  QGraphicsView::resizeEvent(event);
  if (zoom_ == 1)
    FitToView();
}

}  // namespace zerb::fit
