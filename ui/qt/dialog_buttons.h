#pragma once
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace norvane {

// The Ok and Cancel buttons at the foot of a dialog: right-aligned, Ok the default
// (Enter), Cancel closing the dialog without a result.
struct OkCancelRow {
  QPushButton* ok;
  QPushButton* cancel;
  QHBoxLayout* row;
};

inline OkCancelRow AddOkCancel(QDialog* dialog) {
  auto* ok = new QPushButton("Ok", dialog);
  ok->setObjectName("cmdOk");
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
