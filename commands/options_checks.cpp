#include "commands/options_checks.h"

#include <cmath>

#include "commands/process_queue.h"
#include "core/lenient_number.h"
#include "core/number_text.h"

namespace norvane {
namespace {

struct RangeCheck {
  std::string OptionsModel::*box;
  OptionsField field;
  double low, high;
  const char* message;
  const char* title;
};

// In the order OK checks them.
const RangeCheck kChecks[] = {
    {&OptionsModel::txtWinds, OptionsField::txtWinds, 1, 999, "Valid windspeeds are 1 to 999.", "ILLEGAL WINDS"},
    {&OptionsModel::txtClearTime, OptionsField::txtClearTime, 30, 180, "Valid clear times are 30 to 180.",
     "ILLEGAL CLEAR TIME"},
    {&OptionsModel::txtClearVerify, OptionsField::txtClearVerify, 24, 336, "Valid clear times are 24 to 336 hours.",
     "ILLEGAL TIME"},
    {&OptionsModel::txtDist, OptionsField::txtDist, 1, 100, "Valid ranges are 1 to 100 units.", "ILLEGAL DISTANCE"},
    {&OptionsModel::txtDump, OptionsField::txtDump, 12, 168, "Valid clear observation times are 12 to 168 hour.",
     "ILLEGAL TIME"},
    // No upper bound was ever set; the largest finite value keeps an infinite radius out.
    {&OptionsModel::txtUnits, OptionsField::txtUnits, 1, 1.7e308, "Units must be >= 1.", "ILLEGAL UNIT"},
};

bool ChildRunning(const FileSystem& fs) { return fs.Exists(kLockFile) || !fs.List("", "*.pid").empty(); }

int Whole(const std::string& box) { return static_cast<int>(RoundHalfEven(LenientNumber(box))); }

}  // namespace

OptionsModel OpenOptions(const Settings& s) {
  OptionsModel m;
  m.txtWinds = std::to_string(s.MinWind);
  m.txtClearTime = std::to_string(s.ObClearTime);
  m.txtDump = std::to_string(s.MaxObAge);
  m.txtClearVerify = std::to_string(s.ClearVerificationTime);
  m.txtDist = std::to_string(s.WatchDistance);
  m.txtUnits = TrimmedNumberText(s.EarthRadius);
  m.optC = s.UseCelsius;
  m.optDecoded = s.DecodeMetar;
  for (int k = 0; k < 4; ++k) m.txtServ[static_cast<std::size_t>(k)] = s.ObServers[static_cast<std::size_t>(k + 1)];
  m.activeServer = s.ActiveObServer;
  for (int k = 0; k < kPlottedWxSymbols; ++k)
    m.chkWx[static_cast<std::size_t>(k)] = static_cast<std::size_t>(k) < s.PlottedWx.size() && s.PlottedWx[static_cast<std::size_t>(k)] == '1';
  m.page = OptionsPage::PlottedWx;
  return m;
}

OptionsField AcceptOptions(OptionsModel& m, Settings& s, Dialogs& dialogs) {
  for (const RangeCheck& c : kChecks) {
    const double value = LenientNumber(m.*c.box);
    if (value >= c.low && value <= c.high) continue;
    dialogs.MessageBox(c.message, c.title, BoxStyle::Exclamation);
    m.page = OptionsPage::Misc;
    return c.field;
  }
  s.MinWind = Whole(m.txtWinds);
  s.MaxObAge = Whole(m.txtDump);
  s.ObClearTime = Whole(m.txtClearTime);
  s.ClearVerificationTime = Whole(m.txtClearVerify);
  s.WatchDistance = Whole(m.txtDist);
  s.EarthRadius = LenientNumber(m.txtUnits);
  if (m.activeServer >= 1 && m.activeServer <= 5) s.ActiveObServer = m.activeServer;
  s.PlottedWx.clear();
  for (bool ticked : m.chkWx) s.PlottedWx += ticked ? '1' : '0';
  s.UseCelsius = m.optC;
  s.DecodeMetar = m.optDecoded;
  return OptionsField::None;
}

std::string AboutBoxCaption() { return std::string("About ") + kProductName; }

std::string AboutBoxText() {
  return std::string(kProductName) + "\nVersion " + kVersion +
         "\nA weather-observation plotter: station plots, grids and contours from hourly surface reports." +
         "\nBuild Date: " + __DATE__;
}

FlushOutcome FlushObservations(FileSystem& fs, Dialogs& dialogs, Reporter& log, const Settings& settingsBefore) {
  auto refuse = [&] {
    dialogs.MessageBox("Observations cannot be flushed while a download or grid build is running.\n"
                       "Please try again when it has finished.",
                       "WARNING", BoxStyle::Exclamation);
    return FlushOutcome::Refused;
  };
  if (ChildRunning(fs)) return refuse();
  const BoxAnswer answer = dialogs.MessageBox(
      "WARNING: If you proceed, all stored observations\nwill be erased, and the program will end.\n"
      "Verification from this point back will be lost!\nAny changes made will be saved.\nDo you wish to continue?",
      "WARNING", BoxStyle::YesNoQuestion);
  if (answer != BoxAnswer::Yes) return FlushOutcome::Declined;
  // The scheduler keeps ticking behind the question and may have started a child.
  if (ChildRunning(fs)) return refuse();
  if (!fs.Exists("obsfolder")) return FlushOutcome::NoArchiveFolder;
  for (const std::string& file : fs.List("obsfolder", "*")) fs.Remove("obsfolder/" + file);
  for (const char* file : {"unkn.stn", "obs.wad", "verify.out"})
    if (fs.Exists(file)) fs.Remove(file);
  SaveSettings(fs, log, settingsBefore);
  return FlushOutcome::Flushed;
}

}  // namespace norvane
