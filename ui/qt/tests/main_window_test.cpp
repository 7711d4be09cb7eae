// Drives the real main window offscreen in a scratch working folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "core/settings.h"
#include "map/map_file.h"
#include "ui/qt/main_window.h"

namespace fs = std::filesystem;

namespace {

struct Folder {
  fs::path path = fs::temp_directory_path() /
                  ("norvane-win-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  Folder() {
    fs::create_directories(path);
    std::ofstream(path / "norvane.ini", std::ios::binary) << norvane::WriteSettingsText(norvane::DefaultSettings());
  }
  ~Folder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

TEST(MainWindow, StartsReadyForCommandsAndSavesAScreenshot) {
  Folder dir;
  fs::create_directories(dir.path / "scripts");
  std::ofstream(dir.path / "scripts/startup.nvs") << "\"ECHO! STARTUP RAN\"\r\n";
  std::ofstream(dir.path / "scripts/Hello.nvs") << "SET &N 2\r\nADD &N [N] 3\r\n\"ECHO! HELLO [N] ~1\"\r\n";
  norvane::MainWindow window(dir.path);
  window.Start();
  QApplication::processEvents();
  EXPECT_TRUE(fs::is_directory(dir.path / "obsfolder"));
  EXPECT_NE(window.log().Text().find("* STARTUP RAN \r\n"), std::string::npos);
  // R finds the script without regard to letter case and passes its arguments.
  window.RunCommand("R hello `world");
  EXPECT_NE(window.log().Text().find("* HELLO 5 WORLD \r\n"), std::string::npos) << window.log().Text();

  // A typed command goes through the interpreter into the output box.
  auto* box = window.findChild<QLineEdit*>("txtCmd");
  auto* out = window.findChild<QPlainTextEdit*>("txtOb");
  ASSERT_TRUE(box && out);
  box->setFocus();
  QTest::keyClicks(box, "F2C 212");
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_TRUE(out->toPlainText().startsWith("* 212 Fahrenheit = "));
  EXPECT_TRUE(box->text().isEmpty());
  // Up brings the line back from the history.
  QTest::keyClick(box, Qt::Key_Up);
  EXPECT_EQ(box->text().toStdString(), "F2C 212");

  // Enlarging the text boxes saves the new height.
  window.action("mnuEnlarge")->trigger();
  std::ifstream ini(dir.path / "norvane.ini", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(ini)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("\"[TEXT HEIGHT]\"\r\n140\r\n"), std::string::npos);

  window.resize(1280, 800);
  QApplication::processEvents();
  const fs::path shot = fs::path(NORVANE_BINARY_DIR) / "main_window.png";
  EXPECT_TRUE(window.grab().save(QString::fromStdString(shot.string())));
}

// "Redefine Map" opens the region dialog; "Make Map" cuts "user.map" out of "world.map"
// and the new outline is loaded.
TEST(MainWindow, RedefineMapCutsANewUserMap) {
  Folder dir;
  std::ofstream(dir.path / "world.map", std::ios::binary)
      << norvane::EncodeMapFile({{4000, -10000}, {4100, -9900}, {-3000, 2000}});
  norvane::MainWindow window(dir.path);
  window.Start();
  QAction* item = window.action("mnuDefineMap");
  ASSERT_TRUE(item && item->isEnabled());
  bool sawDialog = false;  // the timer fires only inside the dialog's own loop
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    sawDialog = dialog && dialog->objectName() == "frmSelectRegion";
    if (!dialog) return;
    if (auto* make = dialog->findChild<QPushButton*>("cmdMake")) make->click();  // the whole world
    if (dialog->isVisible()) dialog->close();
  });
  item->trigger();
  EXPECT_TRUE(sawDialog);
  std::ifstream in(dir.path / "user.map", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(norvane::ParseMapFile(bytes).points.size(), 3u);
  // Once at start-up, once for the new region.
  const std::string log = window.log().Text();
  EXPECT_NE(log.find("Loading map values", log.find("Loading map values") + 1), std::string::npos);
}

}  // namespace
