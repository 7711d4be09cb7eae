#include "ui/qt/zoom_editor_dialog.h"

#include "ui/qt/dialog_buttons.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace norvane {

ZoomEditorDialog::ZoomEditorDialog(Settings& settings, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), settings_(settings), dialogs_(dialogs), rows_(OpenZoomEditor(settings)) {
  setObjectName("frmZoom");
  setWindowTitle("Zoom Editor");
  auto* grid = new QGridLayout;
  const char* headings[] = {"Name", "Center Lat.", "Center Long.", "Zoom Fact", "U S E - C U R R E N T"};
  for (int c = 0; c < 5; ++c) grid->addWidget(new QLabel(headings[c], this), 0, c, Qt::AlignCenter);
  for (int k = 0; k < kZoomSlots; ++k) {
    const QString index = QString::number(k);
    // Wide enough for the longest value the box takes, sign included.
    auto box = [&](const char* name, int column, const char* widest) {
      auto* e = new QLineEdit(this);
      e->setObjectName(name + index);
      e->setMinimumWidth(e->fontMetrics().horizontalAdvance(widest) + 16);
      grid->addWidget(e, k + 1, column);
      return e;
    };
    boxes_[static_cast<std::size_t>(k)] = {box("txtZoomName", 0, "-88.8 / -188.8 Wide Name"),
                                           box("txtCenterLat", 1, "-88.8888"), box("txtCenterLong", 2, "-188.8888"),
                                           box("txtZoomFactor", 3, "88.888")};
    auto* use = new QPushButton("Use", this);
    use->setObjectName("cmdUseCurrent" + index);
    use->setAutoDefault(false);
    grid->addWidget(use, k + 1, 4);
    connect(use, &QPushButton::clicked, this, [this, k] { UseCurrent(k); });
  }
  const OkCancelRow buttons = AddOkCancel(this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons.row);
  connect(buttons.ok, &QPushButton::clicked, this, &ZoomEditorDialog::Ok);
  Show();
}

void ZoomEditorDialog::Take() {
  for (std::size_t k = 0; k < rows_.size(); ++k) {
    rows_[k] = {boxes_[k].name->text().toStdString(), boxes_[k].latitude->text().toStdString(),
                boxes_[k].longitude->text().toStdString(), boxes_[k].factor->text().toStdString()};
  }
}

void ZoomEditorDialog::Show() {
  auto set = [](QLineEdit* e, const std::string& text) {
    const QString t = QString::fromStdString(text);
    if (e->text() == t) return;
    e->setText(t);
    e->setCursorPosition(0);  // the start, sign and all, in view
  };
  for (std::size_t k = 0; k < rows_.size(); ++k) {
    set(boxes_[k].name, rows_[k].txtZoomName);
    set(boxes_[k].latitude, rows_[k].txtCenterLat);
    set(boxes_[k].longitude, rows_[k].txtCenterLong);
    set(boxes_[k].factor, rows_[k].txtZoomFactor);
  }
}

void ZoomEditorDialog::UseCurrent(int k) {
  Take();
  UseCurrentView(rows_[static_cast<std::size_t>(k)], settings_);
  Show();
}

void ZoomEditorDialog::Ok() {
  Take();
  const std::optional<ZoomEditorFocus> focus = AcceptZoomEditor(rows_, settings_, dialogs_);
  // The check cleans names and empties the numbers of unnamed rows: show that either way.
  Show();
  if (!focus) {
    accept();
    return;
  }
  const RowBoxes& row = boxes_[static_cast<std::size_t>(focus->row)];
  QLineEdit* box = focus->field == ZoomEditorField::txtZoomName     ? row.name
                   : focus->field == ZoomEditorField::txtCenterLat  ? row.latitude
                   : focus->field == ZoomEditorField::txtCenterLong ? row.longitude
                                                                    : row.factor;
  box->setFocus();
  box->selectAll();
}

}  // namespace norvane
