#pragma once
#include <QLabel>
#include <QWidget>
#include <string>

#include "app/app_platform.h"
#include "platform/file_system.h"

namespace norvane {

// The picture as PNG, written through a twin and renamed over `path`.
bool SavePng(FileSystem& files, const std::string& path, const QImage& image);
// The picture painted by `draw` over a canvas of its size.
QImage PaintPicture(const WindowPicture& picture, int width, int height);

// `frmPicture`: a meteogram in its own window, painted again at every new size, with
// "Save Picture" (`cmdSave`) and "Print" (`cmdPrint`).
class PictureWindow : public QWidget {
  Q_OBJECT

 public:
  PictureWindow(FileSystem& files, Dialogs& dialogs, const WindowPicture& picture, QWidget* parent);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Repaint();
  void Save();

  FileSystem& files_;
  Dialogs& dialogs_;
  WindowPicture picture_;
  QLabel* picPicture_;
  QImage image_;
};

}  // namespace norvane
