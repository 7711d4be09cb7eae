// NorvaneApp: the map window. It works in the current folder (the working folder).
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QMessageBox>

#include "ui/qt/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Norvane");
  const QString folder = QDir::currentPath();

  // One copy per working folder: the lock is held for the whole run and is
  // released by the system if the program dies.
  QLockFile instance(QDir(folder).filePath(".norvane-instance.lck"));
  instance.setStaleLockTime(0);
  if (!instance.tryLock(100)) {
    if (instance.error() == QLockFile::LockFailedError) {
      QMessageBox::information(nullptr, "Previous Instance", "Norvane is already running.");
      return 0;
    }
    QMessageBox::critical(nullptr, "ERROR",
                          QString("The working folder '%1' cannot be written to. Norvane needs a folder it can "
                                  "write its settings and observations into.").arg(folder));
    return 1;
  }

  norvane::MainWindow window(folder.toStdString());
  window.Start();
  return app.exec();
}
