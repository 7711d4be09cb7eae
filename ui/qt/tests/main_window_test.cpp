// Drives the real main window offscreen in a scratch working folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenuBar>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "core/settings.h"
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
  EXPECT_EQ(window.windowTitle().toStdString(), "Norvane - v1.02");
  EXPECT_TRUE(fs::is_directory(dir.path / "obsfolder"));
  EXPECT_TRUE(fs::is_directory(dir.path / "scripts"));
  EXPECT_NE(window.log().Text().find("* Norvane v1.02 started"), std::string::npos);

  EXPECT_NE(window.log().Text().find("* STARTUP RAN \r\n"), std::string::npos);
  // R finds the script without regard to letter case and passes its arguments.
  window.RunCommand("R hello `world");
  EXPECT_NE(window.log().Text().find("* HELLO 5 WORLD \r\n"), std::string::npos) << window.log().Text();

  // A typed command goes through the interpreter into the output box.
  auto* box = window.findChild<QLineEdit*>("txtCmd");
  ASSERT_NE(box, nullptr);
  box->setFocus();
  QTest::keyClicks(box, "F2C 212");
  QTest::keyClick(box, Qt::Key_Return);
  auto* out = window.findChild<QPlainTextEdit*>("txtOb");
  ASSERT_NE(out, nullptr);
  EXPECT_TRUE(out->toPlainText().startsWith("* 212 Fahrenheit = "));
  EXPECT_TRUE(box->text().isEmpty());
  // Up brings the line back from the history.
  QTest::keyClick(box, Qt::Key_Up);
  EXPECT_EQ(box->text().toStdString(), "F2C 212");

  // Every top-level menu of the window is there.
  QStringList menus;
  for (QAction* a : window.menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus.join(","), "&File,&Map,&View,&Zoom,&Tools,&Help");

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

}  // namespace
