#include "ui/qt/special_download_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>

#include "commands/special_download.h"
#include "platform/dialogs.h"

namespace norvane {

SpecialDownloadDialog::SpecialDownloadDialog(const std::string& nowStamp, std::int32_t minuteClock, Dialogs& dialogs,
                                             QWidget* parent)
    : QDialog(parent), minuteClock_(minuteClock), dialogs_(dialogs) {
  setObjectName("frmSpecialDownload");
  setWindowTitle("Special Download");
  auto box = [this](const char* name, const std::string& text) {
    auto* e = new QLineEdit(QString::fromStdString(text), this);
    e->setObjectName(name);
    return e;
  };
  const std::string s = nowStamp.size() >= 10 ? nowStamp : std::string(12, '0');
  txtYear_ = box("txtYear", s.substr(0, 4));
  txtMonth_ = box("txtMonth", s.substr(4, 2));
  txtDay_ = box("txtDay", s.substr(6, 2));
  txtHour_ = box("txtHour", s.substr(8, 2));
  auto* form = new QFormLayout(this);
  form->addRow("Year (UTC)", txtYear_);
  form->addRow("Month", txtMonth_);
  form->addRow("Day", txtDay_);
  form->addRow("Hour", txtHour_);
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("cmdOk");
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("cmdCancel");
  auto* row = new QHBoxLayout;
  row->addWidget(ok);
  row->addWidget(cancel);
  form->addRow(row);
  connect(ok, &QPushButton::clicked, this, &SpecialDownloadDialog::Ok);
  connect(cancel, &QPushButton::clicked, this, [this] {
    result_.clear();
    reject();
  });
}

void SpecialDownloadDialog::Ok() {
  const auto check = CheckSpecialDownload(txtYear_->text().toStdString(), txtMonth_->text().toStdString(),
                                          txtDay_->text().toStdString(), txtHour_->text().toStdString(), minuteClock_);
  if (check.ok) {
    result_ = check.stamp;
    accept();
    return;
  }
  result_.clear();
  dialogs_.MessageBox(check.message, "ERROR", BoxStyle::Information);
  using Box = SpecialDownloadCheck::Box;
  QLineEdit* focus = check.focus == Box::Year ? txtYear_ : check.focus == Box::Month ? txtMonth_
                   : check.focus == Box::Hour ? txtHour_ : txtDay_;
  focus->setFocus();
  focus->selectAll();
}

}  // namespace norvane
