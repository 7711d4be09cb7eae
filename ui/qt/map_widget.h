#pragma once
#include <QWidget>
#include <functional>

#include "ui/qt/qt_canvas.h"

namespace norvane {

// `picPlot`: shows the map canvas and reports the mouse.
class MapWidget : public QWidget {
  Q_OBJECT
 public:
  MapWidget(QtCanvas& canvas, QWidget* parent);
  std::function<void(int x, int y)> onMouseMove;
  std::function<void(int x, int y, Qt::MouseButton)> onMousePress;
  std::function<void(int x, int y, Qt::MouseButton)> onMouseRelease;
  std::function<void(int angleDelta)> onWheel;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  QtCanvas& canvas_;
};

}  // namespace norvane
