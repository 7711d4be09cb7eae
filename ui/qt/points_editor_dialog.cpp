#include "ui/qt/points_editor_dialog.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace norvane {
namespace {

QColor ToQColor(Color c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

void SetText(QLineEdit* box, const std::string& text) {
  const QString t = QString::fromStdString(text);
  if (box->text() != t) box->setText(t);
}

}  // namespace

PointsEditorDialog::PointsEditorDialog(FileSystem& fs, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), fs_(fs), editor_(fs, dialogs) {
  setObjectName("frmEditor");
  setWindowTitle("Points Editor");
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Name", this), 0, 0);
  grid->addWidget(new QLabel("Latitude", this), 0, 1);
  grid->addWidget(new QLabel("Longitude", this), 0, 2);
  for (int r = 0; r < kEditorRows; ++r) {
    const QString index = QString::number(r);
    auto box = [&](const char* name, int column, int width) {
      auto* e = new QLineEdit(this);
      e->setObjectName(name + index);
      e->setMinimumWidth(width);
      e->installEventFilter(this);
      grid->addWidget(e, r + 1, column);
      return e;
    };
    RowBoxes& row = boxes_[static_cast<std::size_t>(r)];
    row = {box("txtName", 0, 200), box("txtLat", 1, 70), box("txtLong", 2, 70)};
    // What is typed goes to the editor's row at once, so every check sees it.
    connect(row.name, &QLineEdit::textEdited, this,
            [this, r](const QString& t) { editor_.Row(r).name = t.toStdString(); });
    connect(row.latitude, &QLineEdit::textEdited, this,
            [this, r](const QString& t) { editor_.Row(r).latitude = t.toStdString(); });
    connect(row.longitude, &QLineEdit::textEdited, this,
            [this, r](const QString& t) { editor_.Row(r).longitude = t.toStdString(); });
  }
  vscBar_ = new QScrollBar(Qt::Vertical, this);
  vscBar_->setObjectName("vscBar");
  // The bar must not take the focus: leaving a box would check the row a second time.
  vscBar_->setFocusPolicy(Qt::NoFocus);
  vscBar_->setPageStep(kEditorRows);
  QSizePolicy keep = vscBar_->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  vscBar_->setSizePolicy(keep);
  grid->addWidget(vscBar_, 1, 3, kEditorRows, 1);
  connect(vscBar_, &QScrollBar::valueChanged, this, &PointsEditorDialog::ScrollTo);

  auto button = [this](const char* name, const char* caption) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    // The buttons leave the focus in the row, so the current point stays current.
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoDefault(false);
    return b;
  };
  auto* add = button("cmdAdd", "Add");
  auto* remove = button("cmdRemove", "Remove");
  auto* ok = button("cmdOk", "Ok");
  auto* cancel = button("cmdCancel", "Cancel");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(add);
  buttons->addWidget(remove);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  connect(add, &QPushButton::clicked, this, &PointsEditorDialog::Add);
  connect(remove, &QPushButton::clicked, this, &PointsEditorDialog::Remove);
  connect(ok, &QPushButton::clicked, this, &PointsEditorDialog::Ok);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  Show();
}

void PointsEditorDialog::Show() {
  for (int r = 0; r < kEditorRows; ++r) {
    const EditorRow& model = editor_.Row(r);
    const RowBoxes& row = boxes_[static_cast<std::size_t>(r)];
    SetText(row.name, model.name);
    SetText(row.latitude, model.latitude);
    SetText(row.longitude, model.longitude);
    for (QLineEdit* box : {row.name, row.latitude, row.longitude}) {
      box->setEnabled(model.enabled);
      QPalette p = box->palette();
      p.setColor(QPalette::Base, ToQColor(model.background));
      p.setColor(QPalette::Text, ToQColor(model.text));
      box->setPalette(p);
    }
  }
  const QSignalBlocker quiet(vscBar_);
  vscBar_->setRange(0, editor_.ScrollMax());
  vscBar_->setValue(editor_.ScrollValue());
  vscBar_->setVisible(editor_.ScrollShown());
}

bool PointsEditorDialog::eventFilter(QObject* watched, QEvent* event) {
  const bool in = event->type() == QEvent::FocusIn;
  if (!in && event->type() != QEvent::FocusOut) return QDialog::eventFilter(watched, event);
  for (int r = 0; r < kEditorRows; ++r) {
    const RowBoxes& row = boxes_[static_cast<std::size_t>(r)];
    if (watched != row.name && watched != row.latitude && watched != row.longitude) continue;
    if (in) {
      lastBox_ = static_cast<QLineEdit*>(watched);
      editor_.SelectRow(r);
      Show();
      break;
    }
    // Switching windows (the message box of a check among them) is not leaving the box.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason)
      break;
    const Column column = watched == row.name ? Column::Name : watched == row.latitude ? Column::Latitude
                                                                                       : Column::Longitude;
    // Checked once the focus has settled: a message box shown in the middle of a focus
    // change would leave the focus somewhere unexpected.
    QMetaObject::invokeMethod(this, [this, r, column] { Leave(r, column); }, Qt::QueuedConnection);
    break;
  }
  return QDialog::eventFilter(watched, event);
}

void PointsEditorDialog::Leave(int row, Column column) {
  const bool ok = column == Column::Name ? editor_.LeaveName(row) : editor_.LeaveCoordinate(row);
  if (!ok) FocusFailedRow(column);
}

void PointsEditorDialog::FocusFailedRow(std::optional<Column> left) {
  const std::optional<int> row = editor_.FocusRow();
  if (!row) return;
  const RowBoxes& boxes = boxes_[static_cast<std::size_t>(*row)];
  // Back into the box the user left, or the one still holding the focus in that row.
  QLineEdit* box = boxes.latitude;
  if (left) {
    box = *left == Column::Name ? boxes.name : *left == Column::Latitude ? boxes.latitude : boxes.longitude;
  } else if (lastBox_ == boxes.name || lastBox_ == boxes.longitude) {
    box = lastBox_;
  }
  box->setFocus(Qt::OtherFocusReason);
  box->selectAll();
}

void PointsEditorDialog::ScrollTo(int value) {
  if (!editor_.Scroll(value)) {
    Show();  // the bar goes back to where the rows are
    FocusFailedRow();
    return;
  }
  Show();
  DropFocus();
}

void PointsEditorDialog::DropFocus() {
  // No point is current now, so the box must be entered again before typing counts.
  if (QWidget* box = focusWidget()) box->clearFocus();
}

void PointsEditorDialog::Add() {
  if (!editor_.Add()) {
    Show();
    FocusFailedRow();
    return;
  }
  Show();
  if (const std::optional<int> row = editor_.FocusRow()) {
    QLineEdit* name = boxes_[static_cast<std::size_t>(*row)].name;
    name->setFocus(Qt::OtherFocusReason);
  }
}

void PointsEditorDialog::Remove() {
  if (!editor_.Remove()) return;
  // Before the rows change: a focused box being disabled would pass the focus on and
  // make another point current.
  DropFocus();
  Show();
}

void PointsEditorDialog::Ok() {
  if (editor_.Ok(fs_)) {
    accept();
    return;
  }
  Show();
  FocusFailedRow();
}

}  // namespace norvane
