#pragma once
// The main program over test fakes, in a memory working folder with two stations.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/main_program.h"
#include "app/no_windows.h"
#include "core/settings.h"
#include "core/time_stamp.h"
#include "map/map_file.h"
#include "obs/decoded_observation.h"
#include "obs/observation_store.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_process_starter.h"
#include "tests/fakes/fake_random.h"
#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/fake_program_runner.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/recording_printer.h"
#include "tests/fakes/scripted_dialogs.h"

namespace norvane::testing {

struct NoEvents : EventPump {
  std::function<void()> onProcess;  // what "the user" does while the program lets events run
  void ProcessEvents() override {
    if (onProcess) onProcess();
  }
};
struct NoHelpViewer : HelpViewer {
  void ShowHelp(const std::string&, const std::string&) override {}
};
// The dialogs a test answers; the rest are cancelled.
struct ScriptedWindows : NoWindows {
  std::optional<std::string> script, hour;
  std::optional<MapRegion> regionMade;
  std::function<OptionsResult(Settings&, OptionsPage)> options;
  std::optional<VerificationRequest> verification;
  // The servers page while the dialog is open: what the user does with "Try".
  std::function<void(const ServerTryHooks&)> servers;
  std::optional<std::string> ChooseScript() override { return script; }
  std::optional<VerificationRequest> ChooseVerification(const std::string&) override { return verification; }
  std::optional<std::string> ChooseDownloadHour(const std::string&, std::int32_t) override { return hour; }
  std::optional<MapRegion> SelectRegion() override { return regionMade; }
  std::vector<std::string> pictures;  // the titles of the pictures shown in windows
  void ShowPicture(const WindowPicture& picture) override { pictures.push_back(picture.title); }
  OptionsResult EditOptions(Settings& s, OptionsPage page, Reporter&, const ServerTryHooks& tryHooks) override {
    if (servers) servers(tryHooks);
    return options ? options(s, page) : OptionsResult::Cancelled;
  }
};

// Remembers the busy window's showings and hidings, in order.
struct RecordingView : AppView {
  std::vector<bool> busy;
  void BusyChanged(bool shown) override { busy.push_back(shown); }
};

struct AppHarness {
  MemoryFileSystem files;
  FakeClock clock;
  FakeRandom random;
  ScriptedDialogs dialogs;
  FakeProcessStarter starter;
  NoEvents events;
  NoHelpViewer help;
  RecordingCanvas canvas;
  ScriptedWindows windows;
  RecordingView view;
  RecordingPrinter printer;
  FakeProgramRunner runner;
  MainProgram program{
      AppPlatform{files, clock, random, dialogs, starter, events, help, canvas, windows, view, printer, runner,
                  [] { return Image{1, 1, {0xFFFFFF}}; }}};

  // Two stations near the middle of the default view, reported 10 minutes ago.
  explicit AppHarness(const std::string& startup = "") {
    files.folders.insert("scripts");
    Settings settings = DefaultSettings();
    settings.ObServers[1] = "http://127.0.0.1:9/%y%m%d%h_metar";
    settings.ActiveObServer = 1;
    files.files[kSettingsFile] = WriteSettingsText(settings);
    files.files["user.map"] = EncodeMapFile({{3800, -9800}, {3900, -9700}});
    ObservationStore store;
    store.Clear();
    const std::int32_t now = MinutesNow(clock);
    AddStation(store, 0, "KMCI", 3930, -9472, "KMCI 071150Z 18010KT 10SM CLR 21/12 A3001 ", now - 10);
    AddStation(store, 1, "KTUL", 3620, -9589, "KTUL 071150Z 20015G25KT 10SM BKN030 25/18 A2995 ", now - 10);
    store[2].identifier = kEndIdentifier;
    files.files[kStoreFile] = FormatStore(store, 0);
    if (!startup.empty()) files.files["scripts/startup.nvs"] = startup;
  }
  static void AddStation(ObservationStore& store, int i, const char* id, int lat, int lon, const char* report,
                         std::int32_t time) {
    store[i].identifier = id;
    store[i].latitude = static_cast<std::int16_t>(lat);
    store[i].longitude = static_cast<std::int16_t>(lon);
    store[i].reports[0] = {time, report, DecodeReport(report)};
  }
  void Start() { program.Start(1600, 1000); }
  bool Logged(const std::string& text) const { return program.Log().Text().find(text) != std::string::npos; }
  // Whether the picture as it stands (since the last clear) has the text.
  bool Drew(const std::string& text) const {
    bool found = false;
    for (const auto& op : canvas.ops) {
      if (op.kind == RecordingCanvas::Kind::Clear) found = false;
      if (op.kind == RecordingCanvas::Kind::Text && op.text == text) found = true;
    }
    return found;
  }
  std::size_t Clears() const { return canvas.OfKind(RecordingCanvas::Kind::Clear).size(); }
};

}  // namespace norvane::testing
