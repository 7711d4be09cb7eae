#pragma once
#include <QDialog>
#include <QLabel>
#include <optional>

#include "commands/print_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace norvane {

// A page drawn upright or on its side; clicking it picks that orientation.
class PageImage : public QLabel {
  Q_OBJECT
 public:
  PageImage(bool landscape, QWidget* parent);

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

// `frmGetPrinter`, captioned "Print": printer, orientation, quality, colour and copies;
// "PDF file" also asks for the file to print into. Print runs `PressPrint`, which
// keeps the dialog open on a refused entry. `Choice()` is empty unless it was accepted.
class PrintDialog : public QDialog {
  Q_OBJECT
 public:
  PrintDialog(const Printer& printer, Dialogs& dialogs, QWidget* parent);
  const std::optional<PrintChoice>& Choice() const { return choice_; }

 private:
  void PrinterChosen();
  void BrowsePdf();
  void Print();

  Dialogs& dialogs_;
  PrintDialogModel model_;
  std::optional<PrintChoice> choice_;
  QComboBox* cmbPrinter_;
  QRadioButton *optPortrait_, *optLandscape_;
  QRadioButton *optHighQual_, *optMediumQual_, *optLowQual_;
  QCheckBox* chkColor_;
  QLineEdit* txtCopies_;
  QWidget* pdfRow_;
  QLineEdit* txtPdfFile_;
};

}  // namespace norvane
