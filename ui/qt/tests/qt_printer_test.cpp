// The Qt printer into a PDF file, and the program runner, offscreen.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include "ui/qt/qt_printer.h"
#include "ui/qt/qt_program_runner.h"

namespace {

using norvane::PageOrientation;
using norvane::PrinterSetup;
using Status = norvane::ProgramOutcome::Status;

QByteArray ReadFile(const QString& name) {
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Page objects of the file; their dictionaries are never compressed.
int PdfPages(const QByteArray& pdf) {
  return static_cast<int>(QString::fromLatin1(pdf).count(QRegularExpression("/Type\\s*/Page\\b")));
}

PrinterSetup PdfSetup(const QString& file, PageOrientation orientation = PageOrientation::Portrait) {
  PrinterSetup setup;
  setup.device = norvane::kPdfPrinter;
  setup.fileName = file.toStdString();
  setup.orientation = orientation;
  return setup;
}

TEST(QtPrinter, PrintsTwoPagesAPictureAndALandscapePageIntoPdfFiles) {
  QTemporaryDir dir;
  const QString file = dir.filePath("chart.pdf");
  norvane::QtPrinter printer;
  ASSERT_FALSE(printer.DeviceNames().empty());
  EXPECT_EQ(printer.DeviceNames().back(), norvane::kPdfPrinter);  // present even without printers
  printer.SetFontSize(12);
  const double before = printer.TextWidth("MMMMMMMMMM");  // measured without a document

  ASSERT_TRUE(printer.BeginDocument(PdfSetup(file)));
  // A4 less half-inch margins, in twips.
  EXPECT_NEAR(printer.PageWidth(), (595.0 - 72) * 20, 100);
  EXPECT_NEAR(printer.PageHeight(), (842.0 - 72) * 20, 100);
  // Ten capitals at 12 points are about 100 points wide: 2000 twips, whatever the resolution.
  const double width = printer.TextWidth("MMMMMMMMMM");
  EXPECT_GT(width, 1200);
  EXPECT_LT(width, 2800);
  EXPECT_NEAR(width, before, before * 0.1);
  // 12-point lines are at least 240 twips apart, so this many lines need a second page.
  const int lines = static_cast<int>(printer.PageHeight() / 240) + 5;
  for (int k = 0; k < lines; ++k) ASSERT_TRUE(printer.PrintLine("KXYZ 121200Z 27015KT\tline " + std::to_string(k)));
  ASSERT_TRUE(printer.NewPage());
  EXPECT_TRUE(printer.DrawPicture(norvane::Image{2, 1, {norvane::Rgb(255, 0, 0), norvane::Rgb(0, 0, 255)}}, 150, 150, 9000, 6750));
  EXPECT_FALSE(printer.DrawPicture(norvane::Image{64, 48, {}}, 150, 150, 9000, 6750));  // pixels missing
  ASSERT_TRUE(printer.EndDocument());

  EXPECT_EQ(PdfPages(ReadFile(file)), 3);
  EXPECT_FALSE(printer.PrintLine("after the end"));

  ASSERT_TRUE(printer.BeginDocument(PdfSetup(dir.filePath("wide.pdf"), PageOrientation::Landscape)));
  EXPECT_GT(printer.PageWidth(), printer.PageHeight());
  EXPECT_TRUE(printer.EndDocument());
}

TEST(QtPrinter, CancelledOrImpossibleDocumentsLeaveNoFileBehind) {
  QTemporaryDir dir;
  const QString file = dir.filePath("old.pdf");
  QFile old(file);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
  old.close();
  norvane::QtPrinter printer;
  ASSERT_TRUE(printer.BeginDocument(PdfSetup(file)));
  ASSERT_TRUE(printer.PrintLine("never printed"));
  printer.CancelDocument();
  EXPECT_EQ(ReadFile(file), "old");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.pdf"});
  EXPECT_FALSE(printer.PrintLine("after the cancel"));
  EXPECT_FALSE(printer.EndDocument());

  PrinterSetup noSuchPrinter;
  noSuchPrinter.device = "No Such Printer 42";
  for (const PrinterSetup& setup : {PdfSetup(dir.filePath("missing/folder.pdf")), PdfSetup(""), noSuchPrinter})
    EXPECT_FALSE(printer.BeginDocument(setup)) << setup.device << " " << setup.fileName;
}

TEST(QtProgramRunner, ReportsExitStatusAndEndsProgramsAtTheLimit) {
  struct Case {
    std::string program;
    std::vector<std::string> arguments;
    double timeout;
    Status status;
    int exitCode;  // -1: none
  };
  const Case cases[] = {
      {"/bin/true", {}, 10, Status::Exited, 0},
      {"/bin/false", {}, 10, Status::Exited, 1},
      // One argument with blanks and a semicolon reaches the program as it is.
      {"/bin/sh", {"-c", "test \"$1\" = 'a b;c' && exit 3", "sh", "a b;c"}, 10, Status::Exited, 3},
      {"/bin/sleep", {"30"}, 0.3, Status::TimedOut, -1},
      {"/no/such/program", {}, 10, Status::NotStarted, -1},
  };
  norvane::QtProgramRunner runner;
  for (const Case& c : cases) {
    bool ticked = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&ticked] { ticked = true; });
    timer.start(100);
    const norvane::ProgramOutcome outcome = runner.Run(c.program, c.arguments, c.timeout);
    EXPECT_EQ(outcome.status, c.status) << c.program;
    if (c.exitCode >= 0) {
      EXPECT_EQ(outcome.exitCode, c.exitCode) << c.program;
    }
    if (c.status == Status::TimedOut) {
      EXPECT_TRUE(ticked);  // events kept running while it waited
    }
  }
}

}  // namespace
