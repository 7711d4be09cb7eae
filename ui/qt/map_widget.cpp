#include "ui/qt/map_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace norvane {

MapWidget::MapWidget(QtCanvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
  setObjectName("picPlot");
  setMouseTracking(true);
}

void MapWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  p.drawImage(0, 0, canvas_.Picture());
}

void MapWidget::mouseMoveEvent(QMouseEvent* event) {
  if (onMouseMove) onMouseMove(event->position().toPoint().x(), event->position().toPoint().y());
}

void MapWidget::mousePressEvent(QMouseEvent* event) {
  if (onMousePress) onMousePress(event->position().toPoint().x(), event->position().toPoint().y(), event->button());
}

void MapWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (onMouseRelease) onMouseRelease(event->position().toPoint().x(), event->position().toPoint().y(), event->button());
}

void MapWidget::wheelEvent(QWheelEvent* event) {
  if (onWheel) onWheel(event->angleDelta().y());
  event->accept();
}

}  // namespace norvane
