#include "ui/qt/verification_dialog.h"

#include "ui/qt/dialog_buttons.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace norvane {

VerificationWindow::VerificationWindow(const std::string& nowStamp, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), model_(nowStamp), dialogs_(dialogs) {
  setObjectName("frmVerify");
  setWindowTitle("Verification");

  auto* criteria = new QGridLayout;
  criteria->addWidget(Check("chkWind", "Winds >=", model_.checks.chkWind), 0, 0);
  txtWind_ = Box("txtWind", model_.txtWind);
  criteria->addWidget(txtWind_, 0, 1);
  criteria->addWidget(new QLabel("Kts", this), 0, 2);
  criteria->addWidget(Check("chkThunder", "Thunder", model_.checks.chkThunder), 1, 0);
  criteria->addWidget(Check("chkSnow", "Snowdepth >=", model_.checks.chkSnow), 2, 0);
  txtSnow_ = Box("txtSnow", model_.txtSnow);
  criteria->addWidget(txtSnow_, 2, 1);
  criteria->addWidget(new QLabel("inches", this), 2, 2);
  criteria->addWidget(Check("chkFreeze", "Freezing Precipitation", model_.checks.chkFreeze), 3, 0, 1, 3);
  criteria->addWidget(Check("chkLTG", "LTG", model_.checks.chkLTG), 0, 3);
  criteria->addWidget(Check("chkCB", "CB", model_.checks.chkCB), 1, 3);
  criteria->addWidget(Check("chkTornado", "Tornado", model_.checks.chkTornado), 2, 3);
  criteria->addWidget(Check("chkFunnel", "Funnel Cloud", model_.checks.chkFunnel), 3, 3);
  criteria->addWidget(Check("chkHail", "Hail", model_.checks.chkHail), 4, 3);

  auto* period = new QGridLayout;
  const char* headings[] = {"Day", "Month", "Year", "Time (HHMM)"};
  for (int c = 0; c < 4; ++c) period->addWidget(new QLabel(headings[c], this), 0, c + 1);
  auto dateRow = [&](const char* caption, const char* prefix, DateFields& fields, DateBoxes& boxes, int row) {
    const std::string p = std::string("txt") + prefix;
    period->addWidget(new QLabel(caption, this), row, 0);
    boxes = {Box((p + "Day").c_str(), fields.day), Box((p + "Month").c_str(), fields.month),
             Box((p + "Year").c_str(), fields.year), Box((p + "Time").c_str(), fields.time)};
    period->addWidget(boxes.day, row, 1);
    period->addWidget(boxes.month, row, 2);
    period->addWidget(boxes.year, row, 3);
    period->addWidget(boxes.time, row, 4);
  };
  dateRow("Start", "Start", model_.start, start_, 1);
  dateRow("End", "End", model_.end, end_, 2);

  auto* quick = new QHBoxLayout;
  for (std::size_t k = 0; k < VerificationDialog::kQuickHours.size(); ++k) {
    const int hours = VerificationDialog::kQuickHours[k];
    auto* b = new QPushButton(QString::number(hours) + "hr", this);
    b->setObjectName("cmdQuick" + QString::number(k));
    b->setAutoDefault(false);
    quick->addWidget(b);
    connect(b, &QPushButton::clicked, this, [this, hours] { Quick(hours); });
  }

  const OkCancelRow okCancel = AddOkCancel(this);
  QPushButton* ok = okCancel.ok;
  QHBoxLayout* buttons = okCancel.row;

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(criteria);
  layout->addLayout(period);
  layout->addWidget(new QLabel("All times are GMT", this));
  layout->addLayout(quick);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &VerificationWindow::Ok);
  connect(okCancel.cancel, &QPushButton::clicked, this, [this] { result_.reset(); });
}

QLineEdit* VerificationWindow::Box(const char* name, std::string& field) {
  auto* e = new QLineEdit(QString::fromStdString(field), this);
  e->setObjectName(name);
  connect(e, &QLineEdit::textEdited, this, [&field](const QString& t) { field = t.toStdString(); });
  return e;
}

QCheckBox* VerificationWindow::Check(const char* name, const char* caption, bool& field) {
  auto* c = new QCheckBox(caption, this);
  c->setObjectName(name);
  c->setChecked(field);
  connect(c, &QCheckBox::toggled, this, [&field](bool on) { field = on; });
  return c;
}

void VerificationWindow::Show() {
  auto set = [](QLineEdit* e, const std::string& text) {
    const QString t = QString::fromStdString(text);
    if (e->text() != t) e->setText(t);
  };
  for (auto [boxes, fields] : {std::pair{&start_, &model_.start}, std::pair{&end_, &model_.end}}) {
    set(boxes->day, fields->day);
    set(boxes->month, fields->month);
    set(boxes->year, fields->year);
    set(boxes->time, fields->time);
  }
}

void VerificationWindow::FocusFailed() {
  if (model_.Focus().empty()) return;
  if (auto* box = findChild<QLineEdit*>(QString::fromStdString(model_.Focus()))) {
    box->setFocus();
    box->selectAll();
  }
}

void VerificationWindow::Quick(int hours) {
  if (!model_.Quick(hours, dialogs_)) {
    FocusFailed();
    return;
  }
  Show();
}

void VerificationWindow::Ok() {
  result_ = model_.Ok(dialogs_);
  if (!result_) {
    FocusFailed();
    return;
  }
  accept();
}

}  // namespace norvane
