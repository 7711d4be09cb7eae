#pragma once
// The print dialog ("frmGetPrinter", captioned "Print"): printer, orientation, quality,
// colour and copies, checked when `cmdPrint` is pressed.
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/printer.h"

namespace norvane {

// Beyond this many copies the dialog refuses: a typed "1e12" must not turn into a
// print job that never ends (or into an integer that no longer holds the number).
constexpr int kMaxCopies = 999;

// The dialog's controls.
struct PrintDialogModel {
  std::vector<std::string> cmbPrinter;
  int selected = -1;  // index into cmbPrinter; -1 when there is no printer
  bool optLandscape = false;
  PrintQuality quality = PrintQuality::High;  // optHighQual, optMediumQual, optLowQual
  bool chkColor = true;
  std::string txtCopies = "1";
  std::string pdfFileName;  // asked for when the "PDF file" printer is chosen
};

enum class PrintDialogFocus { None, cmbPrinter, txtCopies, pdfFileName };

struct PrintChoice {
  PrinterSetup setup;
  int copies = 1;
};

// Opening: every printer the platform lists, the default one selected.
PrintDialogModel OpenPrintDialog(const Printer& printer);

struct PrintPress {
  std::optional<PrintChoice> choice;  // nothing: the dialog stays open
  PrintDialogFocus focus = PrintDialogFocus::None;
};

// `cmdPrint`: the copies box becomes its whole-number part; then, in order: fewer than
// one copy, more than kMaxCopies, more than ten (asks), no printer, a PDF file without
// a name. Each refusal shows its box and names the control to focus. On success the
// choice is returned and the dialog closes ("/cancel/" is the result of every other
// way of closing it).
PrintPress PressPrint(PrintDialogModel& model, Dialogs& dialogs);

}  // namespace norvane
