#include "ui/qt/coordinates_dialog.h"

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
  auto* ok = new QPushButton("Ok", this);
  ok->setObjectName("cmdOk");
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("cmdCancel");
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  form->addRow(row);
  connect(ok, &QPushButton::clicked, this, &CoordinatesDialog::Ok);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
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
