#include "ui/qt/coordinates_dialog.h"

#include "ui/qt/dialog_buttons.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>

#include "map/view_change.h"

namespace norvane {

CoordinatesDialog::CoordinatesDialog(Settings& settings, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), settings_(settings), dialogs_(dialogs) {
  setObjectName("frmCoordinates");
  setWindowTitle("Enter Coordinates");
  const CoordinatesBoxes boxes = OpenCoordinates(settings);
  auto box = [this](const char* name, const std::string& text) {
    auto* e = new QLineEdit(QString::fromStdString(text), this);
    e->setObjectName(name);
    return e;
  };
  txtLat_ = box("txtLat", boxes.txtLat);
  txtLong_ = box("txtLong", boxes.txtLong);
  txtScale_ = box("txtScale", boxes.txtScale);
  auto* form = new QFormLayout(this);
  form->addRow("Latitude", txtLat_);
  form->addRow("Longitude", txtLong_);
  form->addRow("Zoom Factor", txtScale_);
  const OkCancelRow buttons = AddOkCancel(this);
  form->addRow(buttons.row);
  connect(buttons.ok, &QPushButton::clicked, this, &CoordinatesDialog::Ok);
}

void CoordinatesDialog::Ok() {
  const CoordinatesBoxes boxes{txtLat_->text().toStdString(), txtLong_->text().toStdString(),
                               txtScale_->text().toStdString()};
  QLineEdit* focus = nullptr;
  switch (AcceptCoordinates(boxes, settings_, dialogs_)) {
    case CoordinatesFocus::None:
      accept();
      return;
    case CoordinatesFocus::txtLat: focus = txtLat_; break;
    case CoordinatesFocus::txtLong: focus = txtLong_; break;
    case CoordinatesFocus::txtScale: focus = txtScale_; break;
  }
  focus->setFocus();
  focus->selectAll();
}

}  // namespace norvane
