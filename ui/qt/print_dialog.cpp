#include "ui/qt/print_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/qt/dialog_buttons.h"

namespace norvane {
namespace {

QRadioButton* Option(QWidget* parent, const char* name, const char* caption, bool checked) {
  auto* b = new QRadioButton(caption, parent);
  b->setObjectName(name);
  b->setChecked(checked);
  return b;
}

// A sheet of paper with a few lines of text, 24 x 32 pixels upright.
QPixmap PagePicture(bool landscape) {
  const QSize size = landscape ? QSize(32, 24) : QSize(24, 32);
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(Qt::black);
  p.setBrush(Qt::white);
  p.drawRect(0, 0, size.width() - 1, size.height() - 1);
  for (int y = 5; y < size.height() - 4; y += 4) p.drawLine(4, y, size.width() - 5, y);
  return pixmap;
}

}  // namespace

PageImage::PageImage(bool landscape, QWidget* parent) : QLabel(parent) {
  setPixmap(PagePicture(landscape));
  setCursor(Qt::PointingHandCursor);
}

void PageImage::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit clicked();
  QLabel::mousePressEvent(event);
}

PrintDialog::PrintDialog(const Printer& printer, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), model_(OpenPrintDialog(printer)) {
  setObjectName("frmGetPrinter");
  setWindowTitle("Print");

  cmbPrinter_ = new QComboBox(this);
  cmbPrinter_->setObjectName("cmbPrinter");
  for (const std::string& name : model_.cmbPrinter) cmbPrinter_->addItem(QString::fromStdString(name));
  cmbPrinter_->setCurrentIndex(model_.selected);

  txtPdfFile_ = new QLineEdit(QString::fromStdString(model_.pdfFileName), this);
  txtPdfFile_->setObjectName("txtPdfFile");
  auto* cmdBrowse = new QPushButton("Browse...", this);
  cmdBrowse->setObjectName("cmdBrowse");
  cmdBrowse->setAutoDefault(false);
  pdfRow_ = new QWidget(this);
  auto* pdfLayout = new QHBoxLayout(pdfRow_);
  pdfLayout->setContentsMargins(0, 0, 0, 0);
  pdfLayout->addWidget(new QLabel("File:", pdfRow_));
  pdfLayout->addWidget(txtPdfFile_, 1);
  pdfLayout->addWidget(cmdBrowse);

  auto* orientation = new QGroupBox("Orientation", this);
  optPortrait_ = Option(orientation, "optPortrait", "Portrait", !model_.optLandscape);
  optLandscape_ = Option(orientation, "optLandscape", "Landscape", model_.optLandscape);
  auto* imgPortrait = new PageImage(false, orientation);
  imgPortrait->setObjectName("imgPortrait");
  auto* imgLandscape = new PageImage(true, orientation);
  imgLandscape->setObjectName("imgLandscape");
  auto* orientationLayout = new QHBoxLayout(orientation);
  orientationLayout->addWidget(imgPortrait);
  orientationLayout->addWidget(optPortrait_);
  orientationLayout->addWidget(imgLandscape);
  orientationLayout->addWidget(optLandscape_);

  auto* quality = new QGroupBox("Quality", this);
  optHighQual_ = Option(quality, "optHighQual", "High", model_.quality == PrintQuality::High);
  optMediumQual_ = Option(quality, "optMediumQual", "Medium", model_.quality == PrintQuality::Medium);
  optLowQual_ = Option(quality, "optLowQual", "Low", model_.quality == PrintQuality::Low);
  auto* qualityLayout = new QHBoxLayout(quality);
  for (QRadioButton* b : {optHighQual_, optMediumQual_, optLowQual_}) qualityLayout->addWidget(b);

  chkColor_ = new QCheckBox("Print in Color", this);
  chkColor_->setObjectName("chkColor");
  chkColor_->setChecked(model_.chkColor);
  txtCopies_ = new QLineEdit(QString::fromStdString(model_.txtCopies), this);
  txtCopies_->setObjectName("txtCopies");

  const OkCancelRow buttons = AddOkCancel(this, "Print", "cmdPrint");

  auto* form = new QFormLayout;
  form->addRow("Printer:", cmbPrinter_);
  form->addRow(pdfRow_);
  form->addRow(orientation);
  form->addRow(quality);
  form->addRow(chkColor_);
  form->addRow("Copies:", txtCopies_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons.row);

  connect(imgPortrait, &PageImage::clicked, optPortrait_, [this] { optPortrait_->setChecked(true); });
  connect(imgLandscape, &PageImage::clicked, optLandscape_, [this] { optLandscape_->setChecked(true); });
  connect(cmbPrinter_, &QComboBox::currentIndexChanged, this, &PrintDialog::PrinterChosen);
  connect(cmdBrowse, &QPushButton::clicked, this, &PrintDialog::BrowsePdf);
  connect(buttons.ok, &QPushButton::clicked, this, &PrintDialog::Print);
  PrinterChosen();
}

void PrintDialog::PrinterChosen() { pdfRow_->setVisible(cmbPrinter_->currentText() == kPdfPrinter); }

void PrintDialog::BrowsePdf() {
  const QString name = QFileDialog::getSaveFileName(this, "Print to PDF file", txtPdfFile_->text(), "PDF files (*.pdf)");
  if (!name.isEmpty()) txtPdfFile_->setText(name);
}

void PrintDialog::Print() {
  model_.selected = cmbPrinter_->currentIndex();
  model_.optLandscape = optLandscape_->isChecked();
  model_.quality = optLowQual_->isChecked()      ? PrintQuality::Low
                   : optMediumQual_->isChecked() ? PrintQuality::Medium
                                                 : PrintQuality::High;
  model_.chkColor = chkColor_->isChecked();
  model_.txtCopies = txtCopies_->text().toStdString();
  model_.pdfFileName = txtPdfFile_->text().toStdString();
  PrintPress press = PressPrint(model_, dialogs_);
  txtCopies_->setText(QString::fromStdString(model_.txtCopies));
  if (press.choice) {
    choice_ = std::move(press.choice);
    accept();
    return;
  }
  QWidget* focus = press.focus == PrintDialogFocus::cmbPrinter    ? static_cast<QWidget*>(cmbPrinter_)
                   : press.focus == PrintDialogFocus::pdfFileName ? static_cast<QWidget*>(txtPdfFile_)
                                                                  : static_cast<QWidget*>(txtCopies_);
  focus->setFocus();
  if (auto* box = qobject_cast<QLineEdit*>(focus)) box->selectAll();
}

}  // namespace norvane
