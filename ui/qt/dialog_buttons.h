#pragma once
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace norvane {

// The Ok and Cancel buttons at the foot of a dialog: right-aligned, Ok the default
// (Enter), Cancel closing the dialog without a result. A dialog whose Ok does
// something more particular gives that button its own caption and name.
struct OkCancelRow {
  QPushButton* ok;
  QPushButton* cancel;
  QHBoxLayout* row;
};

inline OkCancelRow AddOkCancel(QDialog* dialog, const QString& okCaption = "Ok", const QString& okName = "cmdOk") {
  auto* ok = new QPushButton(okCaption, dialog);
  ok->setObjectName(okName);
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel", dialog);
  cancel->setObjectName("cmdCancel");
  cancel->setAutoDefault(false);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  return {ok, cancel, row};
}

}  // namespace norvane
