#include "ui/qt/region_dialog.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "map/world_picture.h"
#include "ui/qt/qt_canvas.h"

namespace norvane {

namespace {

constexpr Color kPaper = Rgb(20, 36, 66);
constexpr Color kInk = Rgb(180, 180, 200);

}  // namespace

RegionPicture::RegionPicture(QImage world, RubberBand& band, QWidget* parent)
    : QWidget(parent), world_(std::move(world)), band_(band) {
  setObjectName("picMap");
  setFixedSize(kWorldPictureWidth, kWorldPictureHeight);
  setCursor(Qt::CrossCursor);
}

void RegionPicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, world_);
  p.setPen(QPen(QColor(255, 220, 0), 1));
  const RubberBand& b = band_;
  p.drawLine(b.x1, b.y1, b.x2, b.y1);
  p.drawLine(b.x1, b.y2, b.x2, b.y2);
  p.drawLine(b.x1, b.y1, b.x1, b.y2);
  p.drawLine(b.x2, b.y1, b.x2, b.y2);
}

void RegionPicture::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  band_.Press(event->position().x(), event->position().y());
  update();
}

void RegionPicture::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  band_.Drag(event->position().x(), event->position().y());
  update();
}

SelectRegionDialog::SelectRegionDialog(FileSystem& fs, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), fs_(fs), dialogs_(dialogs) {
  setObjectName("frmSelectRegion");
  setWindowTitle("Select Map Region");
  // A missing world outline leaves the picture blank; "Make Map" then says why.
  const Image world = MakeWorldPicture(LoadMap(fs, "world.map").points, kPaper, kInk);
  picture_ = new RegionPicture(ToQImage(world), band_, this);
  auto* make = new QPushButton("Make Map", this);
  make->setObjectName("cmdMake");
  make->setDefault(true);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("cmdCancel");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(make);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(picture_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(make, &QPushButton::clicked, this, &SelectRegionDialog::Make);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void SelectRegionDialog::Make() {
  switch (MakeMap(fs_, dialogs_, band_)) {
    case MakeMapResult::Made:
      accept();
      return;
    case MakeMapResult::AreaTooSmall:
      band_ = RubberBand{};  // start again with the whole world
      picture_->update();
      return;
    case MakeMapResult::WorldMissing:
    case MakeMapResult::WriteFailed:
      return;  // the message has been shown; the user may cancel
  }
}

}  // namespace norvane
