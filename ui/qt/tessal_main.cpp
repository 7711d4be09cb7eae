// tessal: builds one grid file from the observation store, started by the main
// program through its process queue. All logic is in GridBuilderDriver.
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <filesystem>

#include "core/local_file_system.h"
#include "core/system_clock.h"
#include "grid/grid_builder_driver.h"
#include "ui/qt/joined_arguments.h"

namespace {

class GridWindow : public QWidget {
 public:
  explicit GridWindow(norvane::GridBuilderDriver*& driver) : driver_(driver) {
    setWindowTitle("Grid Builder");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Grid builder"));
    auto* end = new QPushButton("End");
    layout->addWidget(end);
    connect(end, &QPushButton::clicked, this, [this] {
      if (driver_) driver_->EndButton();
      QuitWhenEnded();
    });
  }
  void QuitWhenEnded() {
    if (driver_ && driver_->Ended()) QApplication::exit(0);
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    if (driver_ && !driver_->Ended()) driver_->EndButton();
    event->accept();
    QApplication::exit(0);
  }

 private:
  norvane::GridBuilderDriver*& driver_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const std::string commandLine = norvane::JoinedArguments(argc, argv);
  norvane::LocalFileSystem fs(std::filesystem::current_path());
  norvane::SystemClock clock;
  norvane::StandardRandom random;
  norvane::GridBuilderDriver* driverPtr = nullptr;
  GridWindow window(driverPtr);
  norvane::GridBuilderDriver::Hooks hooks;
  hooks.caption = [&window](const std::string& text) { window.setWindowTitle(QString::fromStdString(text)); };
  hooks.processEvents = [] { QApplication::processEvents(); };
  hooks.messageBox = [&window](const std::string& text) {
    QMessageBox::critical(&window, "Grid Builder", QString::fromStdString(text));
  };
  norvane::GridBuilderDriver driver(fs, clock, random, commandLine, std::move(hooks));
  driverPtr = &driver;
  window.showMinimized();
  driver.Start();
  if (driver.Ended()) return 0;

  QTimer startTimer;
  startTimer.setSingleShot(true);
  startTimer.setInterval(1500);
  QTimer checkTimer;
  checkTimer.setInterval(1000);
  QObject::connect(&startTimer, &QTimer::timeout, [&] {
    driver.StartTimerTick();
    window.QuitWhenEnded();
  });
  QObject::connect(&checkTimer, &QTimer::timeout, [&] {
    driver.CheckTimerTick();
    // Inside the build the driver unwinds on its own; the start handler quits.
    window.QuitWhenEnded();
  });
  startTimer.start();
  checkTimer.start();
  return app.exec();
}
