#include "ui/qt/script_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/number_text.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "script/script_interpreter.h"

namespace norvane {

ScriptDialog::ScriptDialog(FileSystem& files, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), files_(files), dialogs_(dialogs) {
  setObjectName("frmOpenScript");
  setWindowTitle("Run Script");
  lstScripts_ = new QListWidget(this);
  lstScripts_->setObjectName("lstScripts");
  txtArgument_ = new QLineEdit(this);
  txtArgument_->setObjectName("txtArgument");
  cmdOpen_ = new QPushButton("&Run", this);
  cmdRedraw_ = new QPushButton("Run on Re&draw", this);
  cmdDelete_ = new QPushButton("&Delete", this);
  auto* cmdCancel = new QPushButton("&Cancel", this);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {cmdOpen_, cmdRedraw_, cmdDelete_, cmdCancel}) buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Scripts:", this));
  layout->addWidget(lstScripts_);
  layout->addWidget(new QLabel("Arguments:", this));
  layout->addWidget(txtArgument_);
  layout->addLayout(buttons);
  connect(lstScripts_, &QListWidget::currentRowChanged, this, [this](int row) {
    for (QPushButton* b : {cmdOpen_, cmdRedraw_, cmdDelete_}) b->setEnabled(row >= 0);
  });
  connect(cmdOpen_, &QPushButton::clicked, this, [this] {
    result_ = ScriptRunCommand(CurrentEntry(), txtArgument_->text().toStdString());
    accept();
  });
  connect(cmdRedraw_, &QPushButton::clicked, this, [this] {
    result_ = ScriptRedrawCommand(CurrentEntry(), txtArgument_->text().toStdString());
    accept();
  });
  connect(cmdDelete_, &QPushButton::clicked, this, [this] {
    if (!lstScripts_->currentItem()) return;
    const std::string entry = lstScripts_->currentItem()->text().toStdString();
    if (dialogs_.MessageBox("You are about to delete the script '" + entry + "'.  Are you sure you want to proceed?",
                            "DELETE SCRIPT", BoxStyle::YesNoQuestion) == BoxAnswer::Yes) {
      files_.Remove("scripts/" + entry);
      Fill();
    }
  });
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  resize(420, 380);
  Fill();
}

void ScriptDialog::Fill() {
  lstScripts_->clear();
  for (const std::string& name : files_.List("scripts", "*.*")) lstScripts_->addItem(QString::fromStdString(name));
  lstScripts_->sortItems();
  lstScripts_->setCurrentRow(-1);
  txtArgument_->clear();
  for (QPushButton* b : {cmdOpen_, cmdRedraw_, cmdDelete_}) b->setEnabled(false);
}

std::string ScriptDialog::CurrentEntry() const {
  // Script files are found without regard to letter case, so the upper-cased name still runs.
  return lstScripts_->currentItem() ? lstScripts_->currentItem()->text().toStdString() : "";
}

}  // namespace norvane
