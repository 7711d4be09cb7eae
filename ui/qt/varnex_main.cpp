// varnex: fetches one hourly bulletin and files it into the observation store.
#include <QApplication>
#include <QCloseEvent>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <chrono>
#include <optional>
#include <thread>

#include "core/local_file_system.h"
#include "core/system_clock.h"
#include "downloader/download_driver.h"
#include "ui/qt/joined_arguments.h"

namespace {

class QtFetch : public norvane::HttpFetch {
 public:
  explicit QtFetch(QNetworkAccessManager& manager) : manager_(manager) {}
  std::function<void(bool ok)> onFinished;
  void Start(const std::string& address) override {
    QNetworkRequest request(QUrl(QString::fromStdString(address)));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(60000);
    reply_ = manager_.get(request);
    finished_ = QObject::connect(reply_, &QNetworkReply::finished, [this] {
      if (onFinished) onFinished(reply_->error() == QNetworkReply::NoError || StatusCode() >= 400);
    });
  }
  void Cancel() override {
    // A cancelled request must not come back as a failed one: abort() reports
    // "finished" at once, from inside this call.
    QObject::disconnect(finished_);
    if (reply_ && reply_->isRunning()) reply_->abort();
  }
  std::string FailureReason() const override {
    return reply_ && reply_->error() != QNetworkReply::NoError ? reply_->errorString().toStdString() : std::string();
  }
  int StatusCode() const override {
    return reply_ ? reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() : 0;
  }
  std::optional<std::string> ReadChunk(std::size_t maxBytes) override {
    if (!reply_) return std::nullopt;
    QByteArray part = reply_->read(static_cast<qint64>(maxBytes));
    return std::string(part.constData(), static_cast<std::size_t>(part.size()));
  }

 private:
  QNetworkAccessManager& manager_;
  QNetworkReply* reply_ = nullptr;
  QMetaObject::Connection finished_;
};

class DownloaderWindow : public QWidget {
 public:
  std::function<void()> onClose;

 protected:
  void closeEvent(QCloseEvent* event) override {
    if (onClose) onClose();
    event->accept();
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const std::string arguments = norvane::JoinedArguments(argc, argv);

  norvane::LocalFileSystem fs(".");
  norvane::SystemClock clock;
  norvane::StandardRandom random;  // seeded by the driver before each use
  QNetworkAccessManager manager;
  QtFetch fetch(manager);
  DownloaderWindow window;
  window.setWindowTitle("Downloader");
  auto* cmdEnd = new QPushButton("End", &window);
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(cmdEnd);
  QTimer timer;

  norvane::DriverHost host;
  host.setCaption = [&](const std::string& t) { window.setWindowTitle(QString::fromStdString(t)); };
  // Filing asks for events thousands of times; a pass of the event loop costs about a
  // millisecond, so let events run at most every 50 ms (the window stays responsive).
  auto lastPump = std::chrono::steady_clock::now();
  host.pumpEvents = [&lastPump] {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPump < std::chrono::milliseconds(50)) return;
    lastPump = now;
    QCoreApplication::processEvents();
  };
  host.stopTimer = [&] { timer.stop(); };
  host.wait = [](double seconds) {
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < until) {
      QCoreApplication::processEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  };
  host.quit = [] { QCoreApplication::exit(0); };
  norvane::DownloadDriver driver(fs, fetch, clock, random, host);
  fetch.onFinished = [&](bool ok) {
    if (ok) driver.OnFetchComplete();
    else driver.OnFetchFailed();
  };
  QObject::connect(cmdEnd, &QPushButton::clicked, [&] { driver.StopByUser(); });
  window.onClose = [&] { driver.StopByUser(); };
  QObject::connect(&timer, &QTimer::timeout, [&] { driver.Tick(); });
  timer.start(1000);
  window.showMinimized();
  driver.Start(arguments);
  if (driver.Ended()) return 0;
  return app.exec();
}
