#include "ui/qt/picture_window.h"

#include <QBuffer>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>

#include "core/replace_file.h"
#include "ui/qt/map_snapshot.h"
#include "ui/qt/qt_canvas.h"

namespace norvane {

bool SavePng(FileSystem& files, const std::string& path, const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return false;
  return ReplaceFile(files, path, bytes.toStdString());
}

QImage PaintPicture(const WindowPicture& picture, int width, int height) {
  QtCanvas canvas;
  canvas.Resize(std::max(1, width), std::max(1, height));
  if (picture.draw) picture.draw(canvas);
  return canvas.Picture().copy();
}

PictureWindow::PictureWindow(FileSystem& files, Dialogs& dialogs, const WindowPicture& picture, QWidget* parent)
    : QWidget(parent, Qt::Window), files_(files), dialogs_(dialogs), picture_(picture) {
  setObjectName("frmPicture");
  setWindowTitle(QString::fromStdString(picture.title));
  picPicture_ = new QLabel(this);
  picPicture_->setObjectName("picPicture");
  picPicture_->setMinimumSize(320, 240);
  picPicture_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  auto* save = new QPushButton("&Save Picture...", this);
  save->setObjectName("cmdSave");
  auto* print = new QPushButton("&Print", this);
  print->setObjectName("cmdPrint");
  auto* close = new QPushButton("&Close", this);
  close->setObjectName("cmdClose");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(save);
  buttons->addWidget(print);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(picPicture_, 1);
  layout->addLayout(buttons);
  connect(save, &QPushButton::clicked, this, [this] { Save(); });
  connect(print, &QPushButton::clicked, this, [this] {
    if (picture_.print) picture_.print(FromQImage(image_));
  });
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  resize(picture.width + 20, picture.height + 60);
}

void PictureWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Repaint();
}

void PictureWindow::Repaint() {
  image_ = PaintPicture(picture_, picPicture_->width(), picPicture_->height());
  picPicture_->setPixmap(QPixmap::fromImage(image_));
}

void PictureWindow::Save() {
  const QString name = QString::fromStdString(picture_.title).toLower().replace(' ', '-') + ".png";
  const QString path = QFileDialog::getSaveFileName(this, "Save Picture", name, "PNG pictures (*.png)");
  if (path.isEmpty()) return;
  if (!SavePng(files_, path.toStdString(), image_))
    dialogs_.MessageBox("The picture could not be written to '" + path.toStdString() + "'", "ERROR", BoxStyle::Critical);
}

}  // namespace norvane
