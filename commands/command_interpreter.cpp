#include "commands/command_interpreter.h"

#include <cmath>
#include <set>

#include "core/lenient_number.h"
#include "core/number_text.h"
#include "core/record_file.h"
#include "core/reporter.h"
#include "core/settings.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/help_viewer.h"
#include "platform/process_starter.h"

namespace norvane {

namespace {

const std::string kInvalidParameters = "Invalid number of command line parameters";

bool IsPlotLayer(const std::string& w) {
  static const std::set<std::string> layers = {"WEATHER", "WIND", "CEILING", "TEMPERATURE", "DEWPOINT",
                                               "BARB", "RH", "STATIONS", "POINTS", "THIN", "MODEL"};
  return layers.count(w) > 0;
}

// The integer part of a word's value, as the colour and thickness checks read it.
long long IntegerPart(const std::string& w) {
  double v = std::trunc(LenientNumber(w));
  if (v > 1e15) return 1000000000000000LL;
  if (v < -1e15) return -1000000000000000LL;
  return static_cast<long long>(v);
}

}  // namespace

void CommandInterpreter::NotAvailable(const std::string& keyword, const std::string& suffix) {
  ctx_.log.ShowMessage("'" + keyword + "' is not available in this version yet" + suffix);
}

void CommandInterpreter::Shell(const std::string& line, const std::string& suffix, bool minimised) {
  const CommandWords asTyped(line, /*keepCase=*/true);
  const std::string commandLine = TrimBlanks(asTyped.JoinFrom(1));
  if (commandLine.empty() ||
      !ctx_.starter.Start(commandLine, minimised ? WindowMode::MinimisedNoFocus : WindowMode::NormalWithFocus))
    ctx_.log.ShowMessage("Problem executing a 'shell' command" + suffix);
}

void CommandInterpreter::GridCommand(const CommandWords& w, const std::string& suffix) {
  const std::string& kw = w[0];
  const bool diff = kw == "DRAWDIFF";
  const bool contours = kw != "GRID";
  if (!ctx_.files.Exists(ctx_.files.Resolve(w[1] + ".nv1"))) {
    ctx_.log.ShowMessage("Grid '" + w[1] + "' cannot be located" + suffix);
    return;
  }
  // Word positions: GRID name field r g b [fmt]; DRAW name field start end interval r g b thick [fmt];
  // DRAWDIFF name name2 field start end interval r g b thick [fmt].
  const int field = diff ? 3 : 2;
  const int red = contours ? field + 4 : field + 1;
  const long long r = IntegerPart(w[red]), g = IntegerPart(w[red + 1]), b = IntegerPart(w[red + 2]);
  if (r < 0 || r > 255) return ctx_.log.ShowMessage("Invalid red color" + suffix);
  if (g < 0 || g > 255) return ctx_.log.ShowMessage("Invalid green color" + suffix);
  if (b < 0 || b > 255) return ctx_.log.ShowMessage("Invalid blue color" + suffix);
  const int rgb = static_cast<int>(r + 256 * g + 65536 * b);
  int thickness = 0;
  if (contours) {
    const long long t = IntegerPart(w[red + 3]);
    if (t < 0 || t > 4) return ctx_.log.ShowMessage("Invalid thickness" + suffix);
    thickness = static_cast<int>(t);
  }
  const int formatWord = contours ? red + 4 : red + 3;
  const std::string format = w[formatWord].empty() ? "0.#" : w[formatWord];
  if (!contours) {
    if (!hooks_.showGrid) return NotAvailable(kw, suffix);
    hooks_.showGrid(w[1], w[2], rgb, format);
    return;
  }
  if (!hooks_.drawContours) return NotAvailable(kw, suffix);
  hooks_.drawContours(w[1], diff ? w[2] : "", w[field], LenientNumber(w[field + 1]), LenientNumber(w[field + 2]),
                      LenientNumber(w[field + 3]), rgb, thickness, format);
}

void CommandInterpreter::MapCommand(const CommandWords& w, const std::string& suffix) {
  const std::string& kw = w[0];
  Reporter& log = ctx_.log;
  if (kw == "MENU") {
    if (!hooks_.menu) return NotAvailable(kw, suffix);
    const std::string onOff = (w[2] == "ON" || w[2] == "OFF") ? w[2] : "";
    if (!hooks_.menu(w[1], onOff))
      log.ShowMessage("'" + w[1] + "' is not a menu item" + suffix + " - MENU alone lists them");
    return;
  }
  const int needed = kw == "VIEW" ? 2 : 4;
  for (int k = 1; k <= needed; ++k)
    if (w[k].empty()) return log.ShowMessage(kInvalidParameters + suffix);
  // Written as "not within" so that a word that reads as infinity is refused too.
  auto latitudeOk = [](double v) { return std::fabs(v) <= 90; };
  auto longitudeOk = [](double v) { return std::fabs(v) <= 180; };
  if (kw == "VIEW") {
    const double lat = LenientNumber(w[1]), lon = LenientNumber(w[2]);
    if (!latitudeOk(lat)) return log.ShowMessage("Latitude values must be between -90 and 90." + suffix);
    if (!longitudeOk(lon)) return log.ShowMessage("Longitude values must be between -180 and 180." + suffix);
    std::optional<double> zoom;
    if (!w[3].empty()) {
      zoom = LenientNumber(w[3]);
      if (!(*zoom >= 0.1 && *zoom <= 100))
        return log.ShowMessage("Zoom factor values must be between 0.1 and 100." + suffix);
    }
    if (!hooks_.view) return NotAvailable(kw, suffix);
    hooks_.view(lat, lon, zoom);
    return;
  }
  double lat1 = LenientNumber(w[1]), lon1 = LenientNumber(w[2]), lat2 = LenientNumber(w[3]), lon2 = LenientNumber(w[4]);
  if (!latitudeOk(lat1) || !latitudeOk(lat2))
    return log.ShowMessage("Latitude values must be between -90 and 90." + suffix);
  if (!longitudeOk(lon1) || !longitudeOk(lon2))
    return log.ShowMessage("Longitude values must be between -180 and 180." + suffix);
  if (lat2 < lat1) std::swap(lat1, lat2);
  if (lon2 < lon1) std::swap(lon1, lon2);
  const auto hundredths = [](double v) { return static_cast<int>(std::lround(v * 100)); };
  // The region dialog's rule: at least 5 degrees each way.
  if (hundredths(lat2) - hundredths(lat1) < 500 || hundredths(lon2) - hundredths(lon1) < 500)
    return log.ShowMessage("Area too small..." + suffix);
  if (!hooks_.region) return NotAvailable(kw, suffix);
  hooks_.region(hundredths(lat1), hundredths(lon1), hundredths(lat2), hundredths(lon2), suffix);
}

void CommandInterpreter::Exec(const std::string& line, const std::string& suffix) {
  const CommandWords w(line);
  const std::string& kw = w[0];
  Reporter& log = ctx_.log;

  if (kw.empty() || kw == "RMK" || kw == "NIL") return;  // pasted report text is ignored

  if (kw == "PLOT") {
    if (!IsPlotLayer(w[1])) {
      log.ShowMessage("Invalid use of the PLOT command" + suffix +
                      ";  refer to help > help or press F1 for more intformation.");
      return;
    }
    if (!hooks_.plot) return NotAvailable(kw, suffix);
    hooks_.plot(w[1], (w[2] == "ON" || w[2] == "OFF") ? w[2] : "");
  } else if (kw == "HELP") {
    ctx_.help.ShowHelp("norvane.hlp", "The Command Interpreter");
  } else if (kw == "S" || kw == "SA" || kw == "SL" || kw == "OB") {
    if (!hooks_.stationListing) return NotAvailable(kw, suffix);
    hooks_.stationListing(w);
  } else if (kw == "AT") {
    if (w[1].size() != 4) {
      log.ShowMessage("Invalid use of the AT command" + suffix + ";  refer to help > help or press F1 for more intformation.");
      return;
    }
    if (!hooks_.atHolds) return NotAvailable(kw, suffix);
    if (hooks_.atHolds(w[1])) Exec(w.JoinFrom(2), suffix);
  } else if (kw == "NEAR") {
    if (!hooks_.near) return NotAvailable(kw, suffix);
    hooks_.near(w);
  } else if (kw == "MSG") {
    ctx_.dialogs.MessageBox(w.JoinFrom(1), std::string(kProductName) + " v" + kVersion, BoxStyle::Information);
  } else if (kw == "SHELL" || kw == "SHELLMIN") {
    Shell(line, suffix, kw == "SHELLMIN");
  } else if (kw == "PRINT") {
    if (!hooks_.print) return NotAvailable(kw, suffix);
    hooks_.print(w);
  } else if (kw == "SAVEPIC") {
    const std::string name = w[1].empty() ? "out" : ToLower(w[1]);
    const double q = LenientNumber(w[2]);
    const std::string quality = (q >= 5 && q <= 100) ? TrimmedNumberText(std::trunc(q)) : "70";
    if (!hooks_.savePicture) return NotAvailable(kw, suffix);
    hooks_.savePicture(name, quality);
  } else if (kw == "METEOGRAM") {
    // METEOGRAM identifier [hours]: the station's last hours, 48 unless given.
    if (w[1].empty()) {
      log.ShowMessage("Invalid use of 'METEOGRAM' - need a station identifier - refer to Help > Help for more "
                      "information" + suffix);
      return;
    }
    if (!hooks_.meteogram) return NotAvailable(kw, suffix);
    hooks_.meteogram(w[1], w[2].empty() ? 48 : LenientNumber(w[2]), suffix);
  } else if (kw == "WHOIS") {
    if (!hooks_.whois) return NotAvailable(kw, suffix);
    hooks_.whois(w[1]);
  } else if (kw == "ECHO") {
    log.LogProcessMessage(w.JoinFrom(1));
  } else if (kw == "ECHO!") {
    log.ShowMessage(w.JoinFrom(1));
  } else if (kw == "F2C" || kw == "C2F") {
    const double v = LenientNumber(w[1]);
    log.ShowMessage(kSeparator);
    if (kw == "F2C") {
      log.ShowMessage(NumberText((v - 32) / 1.8) + " Celsius.");
      log.ShowMessage(w[1] + " Fahrenheit = ");
    } else {
      log.ShowMessage(NumberText(v * 1.8 + 32) + " Fahrenheit.");
      log.ShowMessage(w[1] + " Celsius = ");
    }
  } else if (kw == "CLEAR") {
    if (w[1] != "ALL" && w[1] != "PLOTS" && w[1] != "CONTOURS" && w[1] != "GRID" && w[1] != "REDRAW") {
      log.ShowMessage(kw + " " + w[1] + " is not understood - please refer to Help > Help for more information" + suffix);
      return;
    }
    if (!hooks_.clear) return NotAvailable(kw, suffix);
    hooks_.clear(w[1]);
  } else if (kw == "LABEL") {
    if (!hooks_.addLabel) return NotAvailable(kw, suffix);
    hooks_.addLabel(w.JoinUntilEmpty(1));
  } else if (kw == "GRID" || kw == "DRAW" || kw == "DRAWDIFF") {
    GridCommand(w, suffix);
  } else if (kw == "BUILDGRID") {
    // The short form takes the box and spacing of the map: BUILDGRID name MAP [minutes].
    const int needed = w[2] == "MAP" ? 2 : 10;
    for (int k = 1; k <= needed; ++k)
      if (w[k].empty()) {
        log.ShowMessage(kInvalidParameters + suffix);
        return;
      }
    if (!hooks_.buildGrid) return NotAvailable(kw, suffix);
    hooks_.buildGrid(w, suffix);
  } else if (kw == "REDRAW") {
    if (w[1] == "ADD" || w[1] == "ADDQUIET") {
      if (w[2].empty()) {
        log.ShowMessage(kSeparator);
        log.ShowMessage(kInvalidParameters + suffix);
        return;
      }
      const std::string added = w.JoinFrom(2);
      RecordWriter record;
      record.Text(added).EndRecord();
      ctx_.files.CreateFolder("scripts");
      if (!ctx_.files.Append("scripts/redraw.nvs", record.str())) {
        log.ShowMessage("Unable to write 'scripts/redraw.nvs'" + suffix);
        return;
      }
      log.LogProcessMessage(kSeparator);
      log.LogProcessMessage("'" + added + "' added to 'redraw.nvs'");
    }
    if (w[1] != "ADDQUIET") {
      if (!hooks_.forceRedraw) return NotAvailable(kw, suffix);
      hooks_.forceRedraw();
    }
  } else if (kw == "LOADOBS") {
    if (!hooks_.loadObs) return NotAvailable(kw, suffix);
    hooks_.loadObs();
  } else if (kw == "GETOBS") {
    if (!hooks_.getObs) return NotAvailable(kw, suffix);
    hooks_.getObs(w[1]);
  } else if (kw == "R" || kw == "RUN") {
    if (w[1].empty()) {
      log.ShowMessage("Invalid use of 'R' - need script name to run - refer to Help > Help for more information" + suffix);
      return;
    }
    std::string name = w[1];
    if (name.size() < 4 || name.substr(name.size() - 4) != ".NVS") name += ".NVS";
    if (!hooks_.runScript) return NotAvailable(kw, suffix);
    hooks_.runScript(name, w, suffix);
  } else if (kw == "LOOP") {
    if (!hooks_.loop) return NotAvailable(kw, suffix);
    if (w[1] == "OFF") return hooks_.loop(0);
    const double hours = w[1].empty() ? 6 : LenientNumber(w[1]);
    if (!(hours >= 2 && hours <= 48) || hours != std::floor(hours)) {
      log.ShowMessage("LOOP takes a whole number of hours from 2 to 48 (6 when none is given)" + suffix);
      return;
    }
    hooks_.loop(static_cast<int>(hours));
  } else if (kw == "QUEUE" || kw == "PID") {
    if (!hooks_.listQueue) return NotAvailable(kw, suffix);
    hooks_.listQueue();
  } else if (kw == "VIEW" || kw == "REGION" || kw == "MENU") {
    MapCommand(w, suffix);
  } else if (kw == "KILL") {
    if (w[1].empty()) return;
    if (!hooks_.kill) return NotAvailable(kw, suffix);
    hooks_.kill(w[1]);  // lists the queue afterwards
  } else {
    log.ShowMessage(kSeparator);
    log.ShowMessage("'" + kw + "' is an invalid command" + suffix + " - refer to Help > Help or press F1 for more information");
  }
}

}  // namespace norvane
