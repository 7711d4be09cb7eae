#pragma once
// The options dialog ("frmSettings", captioned "Options") without its window: the
// fields of its three pages, the checks of OK in their order, storing into Settings,
// and "Flush Obs".
#include <array>
#include <string>

#include "core/reporter.h"
#include "core/settings.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"

namespace norvane {

constexpr int kPlottedWxSymbols = 46;

enum class OptionsPage { PlottedWx, Servers, Misc };  // fraPlottedWx, fraServers, fraMisc

enum class OptionsField { None, txtWinds, txtClearTime, txtClearVerify, txtDist, txtDump, txtUnits };

struct OptionsModel {
  OptionsPage page = OptionsPage::PlottedWx;
  // Plotted Weather: box k ticked when character k of PlottedWx is "1".
  std::array<bool, kPlottedWxSymbols> chkWx{};
  // Servers: the addresses are shown only, never read back.
  std::array<std::string, 4> txtServ;
  int activeServer = 1;  // optServ1 .. optServ5 ("Pick Random")
  // Misc. Options.
  std::string txtWinds, txtDLTime = "90", txtClearTime, txtClearVerify, txtDist, txtUnits, txtDump;
  bool optC = true;        // else optF
  bool optDecoded = true;  // else optMETAR
};

OptionsModel OpenOptions(const Settings& settings);

// `cmdOk`. The first field out of range shows its box, brings the Misc. Options page
// to the front and is returned for the focus; nothing is stored. Otherwise the fields
// are stored into `settings` and None is returned: the caller saves the settings and
// closes the dialog.
OptionsField AcceptOptions(OptionsModel& model, Settings& settings, Dialogs& dialogs);

// The About box, from the options dialog and the Help menu alike.
std::string AboutBoxCaption();  // "About Norvane"
std::string AboutBoxText();     // product name, "Version 1.02", "Build Date: ..."

enum class FlushOutcome { Declined, Refused, NoArchiveFolder, Flushed };

// `cmdFlush`. Refused with a warning while a background process runs ("lock.zzz" or a
// status file exists): it may be writing the very files that would be deleted.
// Otherwise asks; on Yes, and when "obsfolder" exists, deletes its files, "unkn.stn",
// "obs.wad" and "verify.out", and saves `settingsBefore` (the settings as they were
// when the dialog opened). On Flushed the caller ends the program at once.
FlushOutcome FlushObservations(FileSystem& fs, Dialogs& dialogs, Reporter& log, const Settings& settingsBefore);

}  // namespace norvane
