#include "commands/save_picture.h"

#include <cctype>

#include "core/lenient_number.h"
#include "core/replace_file.h"

namespace norvane {
namespace {

constexpr std::size_t kMaxPictureName = 64;

// Seconds on the clock since `start`, across one midnight.
double Elapsed(const Clock& clock, double start) {
  double now = clock.SecondsSinceMidnight();
  if (now < start) now += 86400;
  return now - start;
}

}  // namespace

bool IsPlainPictureName(std::string_view name) {
  if (name.empty() || name.size() > kMaxPictureName) return false;
  for (char c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') return false;
  }
  return true;
}

std::vector<std::string> EncoderArguments(const std::string& name, const std::string& quality) {
  return {"-quality", quality, "-optimize", "-dct", "float", "-smooth", "20", "-outfile", name + ".jpg.tmp",
          name + ".bmp"};
}

bool SavePicture(FileSystem& fs, ProgramRunner& runner, const Clock& clock, Reporter& log, SavePictureHost& host,
                 const std::string& name, const std::string& qualityWord) {
  if (!IsPlainPictureName(name)) {
    log.ShowMessage("'" + name + "' cannot be a picture name - use letters, digits, '_' and '-' only");
    return false;
  }
  // The interpreter has settled the quality already; a caller passing anything else
  // still cannot put a switch of its own into the encoder's arguments.
  const double q = LenientNumber(qualityWord);
  const std::string quality = (q >= 5 && q <= 100) ? std::to_string(static_cast<int>(q)) : "70";

  if (host.redrawRunning && host.redrawRunning()) {
    // A redraw script that runs SAVEPIC sits inside the redraw it would wait for.
    const double start = clock.SecondsSinceMidnight();
    while (host.redrawRunning() && Elapsed(clock, start) < kRedrawWaitSeconds)
      if (host.processEvents) host.processEvents();
    if (host.redrawRunning()) {
      log.ShowMessage("The map is still being drawn - " + name + ".jpg was not written");
      return false;
    }
  }
  const std::optional<std::string> bitmap = host.mapBitmap ? host.mapBitmap() : std::nullopt;
  const std::string bmp = name + ".bmp", jpg = name + ".jpg", twin = jpg + ".tmp";
  if (!bitmap || bitmap->empty()) {
    log.ShowMessage("There is no map picture to save - " + jpg + " was not written");
    return false;
  }
  if (!ReplaceFile(fs, bmp, *bitmap)) {
    log.ShowMessage("Unable to write " + bmp + " - " + jpg + " was not written");
    return false;
  }
  if (fs.Exists(twin)) fs.Remove(twin);
  const ProgramOutcome outcome = runner.Run(kPictureEncoder, EncoderArguments(name, quality), kEncoderTimeoutSeconds);
  const auto length = fs.Length(twin);
  if (outcome.Succeeded() && length && *length > 0 && fs.Rename(twin, jpg)) {
    fs.Remove(bmp);
    log.LogProcessMessage(jpg + " was written to the harddrive");
    return true;
  }
  if (fs.Exists(twin)) fs.Remove(twin);
  std::string why;
  switch (outcome.status) {
    case ProgramOutcome::Status::NotStarted: why = "the picture encoder 'cjpeg' could not be started"; break;
    case ProgramOutcome::Status::TimedOut: why = "the picture encoder 'cjpeg' did not finish in time"; break;
    case ProgramOutcome::Status::Exited:
      why = outcome.exitCode != 0 ? "the picture encoder 'cjpeg' failed" : "the picture encoder wrote no picture";
      break;
  }
  log.ShowMessage(jpg + " was not written: " + why + " - the map was kept as " + bmp);
  return false;
}

}  // namespace norvane
