#include "ui/qt/qt_program_runner.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <algorithm>
#include <cmath>

namespace norvane {
namespace {

constexpr int kStartMilliseconds = 10000;
constexpr int kSliceMilliseconds = 20;
// Long enough for any real encoder; keeps the millisecond count inside an int.
constexpr double kLongestWaitSeconds = 24 * 3600;

}  // namespace

ProgramOutcome QtProgramRunner::Run(const std::string& program, const std::vector<std::string>& arguments,
                                    double timeoutSeconds) {
  ProgramOutcome outcome;
  if (program.empty()) return outcome;
  QStringList args;
  for (const std::string& a : arguments) args << QString::fromStdString(a);
  QProcess process;
  process.setProgram(QString::fromStdString(program));
  process.setArguments(args);
  process.setWorkingDirectory(QDir::currentPath());
  // Nobody reads its output, and a program that waits for input must not hang on ours.
  process.setStandardInputFile(QProcess::nullDevice());
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  process.start();
  if (!process.waitForStarted(kStartMilliseconds)) return outcome;

  const double seconds = std::isfinite(timeoutSeconds) ? std::clamp(timeoutSeconds, 0.0, kLongestWaitSeconds) : 0.0;
  const QDeadlineTimer deadline(static_cast<qint64>(std::llround(seconds * 1000)));
  while (!process.waitForFinished(kSliceMilliseconds)) {
    if (process.state() == QProcess::NotRunning) break;
    if (deadline.hasExpired()) {
      process.kill();
      process.waitForFinished(kStartMilliseconds);
      outcome.status = ProgramOutcome::Status::TimedOut;
      return outcome;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, kSliceMilliseconds);
  }
  outcome.status = ProgramOutcome::Status::Exited;
  // A crash is an ending without an exit code of its own; it must not read as success.
  outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  return outcome;
}

}  // namespace norvane
