#include "commands/print_dialog.h"

#include <algorithm>
#include <cmath>

#include "core/lenient_number.h"
#include "core/number_text.h"

namespace norvane {

PrintDialogModel OpenPrintDialog(const Printer& printer) {
  PrintDialogModel model;
  model.cmbPrinter = printer.DeviceNames();
  const std::string preferred = printer.DefaultDevice();
  const auto it = std::find(model.cmbPrinter.begin(), model.cmbPrinter.end(), preferred);
  if (it != model.cmbPrinter.end())
    model.selected = static_cast<int>(it - model.cmbPrinter.begin());
  else if (!model.cmbPrinter.empty())
    model.selected = 0;
  return model;
}

PrintPress PressPrint(PrintDialogModel& model, Dialogs& dialogs) {
  auto refuse = [&dialogs](const std::string& text, PrintDialogFocus focus) {
    dialogs.MessageBox(text, "PRINTER ERROR", BoxStyle::Information);
    return PrintPress{std::nullopt, focus};
  };
  double copies = std::trunc(LenientNumber(model.txtCopies));
  if (!std::isfinite(copies)) copies = 0;
  model.txtCopies = TrimmedNumberText(copies);
  if (copies < 1) return refuse("Must print more than zero copies.", PrintDialogFocus::txtCopies);
  if (copies > kMaxCopies)
    return refuse("Cannot print more than " + std::to_string(kMaxCopies) + " copies.", PrintDialogFocus::txtCopies);
  if (copies > 10) {
    const BoxAnswer answer = dialogs.MessageBox(
        "You have choosen to print " + model.txtCopies + " documents.  Are you sure you want to continue?", "PRINTER",
        BoxStyle::YesNoQuestion);
    if (answer != BoxAnswer::Yes) return {std::nullopt, PrintDialogFocus::txtCopies};
  }
  if (model.selected < 0 || model.selected >= static_cast<int>(model.cmbPrinter.size()))
    return refuse("There is no printer to print on.", PrintDialogFocus::cmbPrinter);
  PrintChoice choice;
  choice.copies = static_cast<int>(copies);
  choice.setup.device = model.cmbPrinter[static_cast<std::size_t>(model.selected)];
  if (choice.setup.device == kPdfPrinter) {
    if (TrimBlanks(model.pdfFileName).empty())
      return refuse("Please name the PDF file to print to.", PrintDialogFocus::pdfFileName);
    choice.setup.fileName = TrimBlanks(model.pdfFileName);
  }
  choice.setup.orientation = model.optLandscape ? PageOrientation::Landscape : PageOrientation::Portrait;
  choice.setup.quality = model.quality;
  choice.setup.colorMode = model.chkColor ? PrintColorMode::Color : PrintColorMode::Monochrome;
  return {choice, PrintDialogFocus::None};
}

}  // namespace norvane
