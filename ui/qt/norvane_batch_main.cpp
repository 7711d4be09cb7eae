// norvane-batch: the main program without a window, for tests and for maps made
// from a timer. It works in the current folder (the working folder).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/batch_options.h"
#include "app/listing_canvas.h"
#include "app/main_program.h"
#include "app/no_windows.h"
#include "core/local_file_system.h"
#include "core/system_clock.h"
#include "ui/qt/instance_lock.h"
#include "ui/qt/map_snapshot.h"
#include "ui/qt/picture_window.h"
#include "ui/qt/qt_canvas.h"
#include "ui/qt/qt_platform.h"
#include "ui/qt/qt_printer.h"
#include "ui/qt/qt_program_runner.h"

namespace {

using namespace norvane;

// With nobody to answer, message boxes go to standard error and questions are
// answered No; the colour chooser is cancelled.
class BatchDialogs : public Dialogs {
 public:
  BoxAnswer MessageBox(const std::string& text, const std::string& title, BoxStyle style) override {
    std::fprintf(stderr, "norvane-batch: [%s] %s\n", title.c_str(), text.c_str());
    return style == BoxStyle::YesNoQuestion ? BoxAnswer::No : BoxAnswer::Ok;
  }
  void Beep() override {}
  std::optional<Color> ChooseColor(Color) override { return std::nullopt; }
};

// No windows to show; the last meteogram asked for is what --png writes.
class BatchWindows : public NoWindows {
 public:
  std::optional<WindowPicture> picture;
  void ShowPicture(const WindowPicture& shown) override { picture = shown; }
};

class NoHelp : public HelpViewer {
 public:
  void ShowHelp(const std::string& file, const std::string& keyword) override {
    std::fprintf(stderr, "norvane-batch: help is shown in the map window ('%s', '%s')\n", file.c_str(), keyword.c_str());
  }
};


// Writes beside the target and renames over it, so a reader never sees half a file.
bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
  const std::string twin = path + ".part";
  {
    std::ofstream out(twin, std::ios::binary | std::ios::trunc);
    if (!out || !out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush()) return false;
  }
  std::error_code ec;
  std::filesystem::rename(twin, path, ec);
  if (ec) std::filesystem::remove(twin, ec);
  return !ec;
}

void WaitForBackgroundWork(MainProgram& program, int seconds) {
  QElapsedTimer clock;
  clock.start();
  // The first tick may only now start the queued child; keep ticking until the
  // queue is empty and no child runs or has a status left to handle.
  do {
    const qint64 tickDue = clock.elapsed() + 1000;
    while (clock.elapsed() < tickDue) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
      QThread::msleep(20);
    }
    program.Tick();
  } while (program.BackgroundWorkPending() && clock.elapsed() < static_cast<qint64>(seconds) * 1000);
}

// Every frame of the running loop, oldest first, as frame-01.png ... in `folder`.
bool WriteLoopFrames(MainProgram& program, QtCanvas& picture, const std::string& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  const int frames = program.Loop().FrameCount();
  for (int k = 0; k < frames; ++k) {
    program.ShowLoopFrame(k);
    char name[32];
    std::snprintf(name, sizeof name, "frame-%02d.png", k + 1);
    const std::filesystem::path file = std::filesystem::path(folder) / name;
    const std::string twin = file.string() + ".part";
    if (!picture.Picture().save(QString::fromStdString(twin), "PNG")) return false;
    std::filesystem::rename(twin, file, ec);
    if (ec) {
      std::filesystem::remove(twin, ec);
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  std::vector<std::string> args(argv + 1, argv + argc);
  const BatchParse parsed = ParseBatchOptions(args);
  if (!parsed.options) {
    std::fprintf(stderr, "norvane-batch: %s\n%s", parsed.error.c_str(), BatchUsage().c_str());
    return 2;
  }
  const BatchOptions& o = *parsed.options;
  if (o.help) {
    std::fputs(BatchUsage().c_str(), stdout);
    return 0;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Norvane");
  const QString folder = QDir::currentPath();
  QLockFile instance(InstanceLockPath(folder));
  switch (LockWorkingFolder(instance)) {
    case InstanceLock::Held: break;
    case InstanceLock::HeldByAnother:
      std::fprintf(stderr, "norvane-batch: Norvane is already running in %s\n", qPrintable(folder));
      return 1;
    case InstanceLock::FolderNotWritable:
      std::fprintf(stderr, "norvane-batch: the working folder %s cannot be written to\n", qPrintable(folder));
      return 1;
  }

  LocalFileSystem files(folder.toStdString());
  SystemClock clock;
  StandardRandom random;
  random.Seed(static_cast<std::uint32_t>(clock.SecondsSinceMidnight() * 1000));
  BatchDialogs dialogs;
  QtProcessStarter starter;
  QtEventPump events;
  NoHelp help;
  QtCanvas picture;
  ListingCanvas canvas(picture, o.fixedMetrics);
  BatchWindows windows;
  AppView view;
  QtPrinter printer;
  QtProgramRunner runner;
  MainProgram program({files, clock, random, dialogs, starter, events, help, canvas, windows, view, printer, runner,
                       [&picture] { return FromQImage(picture.Picture()); }});
  if (o.mapWidth > 0) program.FixMapSize(o.mapWidth, o.mapHeight);
  program.Start(1600, 1000, o.runStartup);
  int status = 0;
  std::string framesFolder;
  for (const BatchStep& step : o.steps) {
    if (step.kind == BatchStep::Kind::Frames) {
      framesFolder = step.command;
    } else if (step.kind == BatchStep::Kind::Command) {
      program.Exec(step.command);
      // Nobody is there to watch a loop play: its frames go into the folder.
      if (!framesFolder.empty() && program.Loop().Running()) {
        if (!WriteLoopFrames(program, picture, framesFolder)) {
          std::fprintf(stderr, "norvane-batch: cannot write the loop frames into %s\n", framesFolder.c_str());
          status = 1;
        }
        program.LoopKey("Escape");
      }
    } else {
      WaitForBackgroundWork(program, step.seconds);
    }
  }
  if (program.BackgroundWorkPending() && BatchWaitAtEnd(o) > 0) WaitForBackgroundWork(program, BatchWaitAtEnd(o));
  const bool workLeft = program.BackgroundWorkPending();

  auto write = [&status](const std::string& file, const std::string& bytes) {
    if (file.empty() || WriteFileAtomically(file, bytes)) return;
    std::fprintf(stderr, "norvane-batch: cannot write %s\n", file.c_str());
    status = 1;
  };
  if (!o.pngFile.empty() && windows.picture) {
    const WindowPicture& shown = *windows.picture;
    if (!SavePng(files, std::filesystem::absolute(o.pngFile).string(), PaintPicture(shown, shown.width, shown.height))) {
      std::fprintf(stderr, "norvane-batch: cannot write %s\n", o.pngFile.c_str());
      status = 1;
    }
  } else if (!o.pngFile.empty()) {
    const std::string twin = o.pngFile + ".part";
    std::error_code ec;
    if (!picture.Picture().save(QString::fromStdString(twin), "PNG")) status = 1;
    else std::filesystem::rename(twin, o.pngFile, ec);
    if (ec || status) std::fprintf(stderr, "norvane-batch: cannot write %s\n", o.pngFile.c_str()), status = 1;
  }
  write(o.primitivesFile, canvas.Text());
  write(o.logFile, program.Log().Text());
  write(o.watchFile, program.WatchText());
  if (workLeft) {
    std::fprintf(stderr, "norvane-batch: %s\n", BatchWorkLeftMessage(o, program.Queue().Count()).c_str());
    if (status == 0) status = kBatchWorkLeft;
  }
  return status;
}
