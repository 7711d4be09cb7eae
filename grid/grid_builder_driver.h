#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "grid/build_grid.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/random_source.h"

namespace norvane {

// The grid builder's command line split on single blanks into eleven words; the
// rest after the eleventh is ignored, and two adjacent blanks make an empty word.
std::array<std::string, 11> SplitGridCommandWords(std::string_view commandLine);
// Words 2-10 converted leniently (reals to single precision, radius and exponent
// floored and held in 16 bits, minutes back floored to 32 bits).
GridBuildParameters ConvertGridWords(const std::array<std::string, 11>& words);

// The main program's side: validates the numbers of BUILDGRID and forms the
// child's command line "tessal <name> <nine numbers each followed by a blank><pid>".
// Radius and exponent must fit 16 bits and minutes back 32 bits; a value out of
// range is refused with `message` rather than wrapped.
struct GridCommandLineResult {
  std::optional<std::string> line;
  std::string message;
};
GridCommandLineResult GridBuildCommandLine(std::string_view name, const std::array<float, 6>& box, double radius,
                                           double exponent, double minutesBack, std::string_view processNumber);

// The station table of "obs.wad" as the grid builder loads it; an "end" entry
// closes it when the file has its end marker.
std::vector<GridStation> ReadGridStore(std::string_view text);
// Records of a station archive: report text, decoded text, time, in file order.
std::vector<GridReport> ReadGridArchive(std::string_view text);

// Sharing errors wait 0.3 s and retry; after this many the program gives up.
constexpr int kMaxSharingRetries = 20;

// `tessal`'s logic: start-up, the two timers, the status and lock protocol and
// the end button, against the platform interfaces. The program layer calls the
// handlers (or `Tick` in tests) and quits once `Ended()`.
class GridBuilderDriver : private GridBuildHooks, private GridStatusSink {
 public:
  struct Hooks {
    std::function<void(const std::string&)> caption;     // window title
    std::function<void()> processEvents;                  // event pump inside the build
    std::function<void(const std::string&)> messageBox;   // lock-check failure
    std::function<void()> shortWait;                      // the 0.3 s wait; a clock-polling wait when empty
  };

  GridBuilderDriver(FileSystem& fs, const Clock& clock, RandomSource& random, std::string commandLine, Hooks hooks);

  void Start();            // the window's load event
  void StartTimerTick();   // tmrStartProcess, 1500 ms, once
  void CheckTimerTick();   // tmrCheck, every 1000 ms
  void EndButton();        // cmdEnd and closing the window
  // Advances the timers by `milliseconds` and fires whatever falls due; may be
  // called again from inside the build through `processEvents`.
  void Tick(int milliseconds);

  bool Ended() const { return ended_; }
  const std::string& ProcessNumber() const { return processNumber_; }
  int IdleCounter() const { return idle_; }
  float EarthRadius() const { return earthRadius_; }
  std::size_t StationCount() const { return stations_.size(); }

 private:
  // GridBuildHooks
  void Caption(const std::string& text) override;
  bool BeforeStation() override;
  std::vector<GridReport> ArchiveReports(const std::string& identifier) override;
  // GridStatusSink
  void Status(const std::string& text, bool final) override { Report(false, text, final); }
  void Error(const std::string& text, bool final) override { Report(true, text, final); }
  void Abort() override;

  void Report(bool error, const std::string& text, bool final);
  bool WriteStatus(bool error, bool final, const std::string& text);
  std::optional<std::string> ReadShared(const std::string& name);
  void Wait();
  void End() { ended_ = true; }

  FileSystem& fs_;
  const Clock& clock_;
  RandomSource& random_;
  std::string commandLine_;
  Hooks hooks_;
  std::array<std::string, 11> words_;
  std::string processNumber_;
  float earthRadius_ = -1;
  std::int32_t nowMinutes_ = 0;
  std::vector<GridStation> stations_;
  int idle_ = 0;
  bool ended_ = false;
  bool started_ = false;
  bool startFired_ = false;
  long long elapsed_ = 0;
  long long nextCheck_ = 1000;
};

}  // namespace norvane
