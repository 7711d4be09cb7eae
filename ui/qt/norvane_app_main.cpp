// NorvaneApp: the map window. It works in the current folder (the working folder),
// or with --home (the desktop entry) in ~/Norvane, made ready on first use.
#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include "ui/qt/default_working_folder.h"
#include "ui/qt/instance_lock.h"
#include "ui/qt/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Norvane");
  const bool home = QApplication::arguments().contains("--home");
  const QString folder = home ? norvane::DefaultWorkingFolder() : QDir::currentPath();
  if (home) QDir().mkpath(folder);
  QLockFile instance(norvane::InstanceLockPath(folder));
  switch (norvane::LockWorkingFolder(instance)) {
    case norvane::InstanceLock::Held: break;
    case norvane::InstanceLock::HeldByAnother:
      QMessageBox::information(nullptr, "Previous Instance", "Norvane is already running.");
      return 0;
    case norvane::InstanceLock::FolderNotWritable:
      QMessageBox::critical(nullptr, "ERROR",
                            QString("The working folder '%1' cannot be written to. Norvane needs a folder it can "
                                    "write its settings and observations into.").arg(folder));
      return 1;
  }
  if (home) {
    const QString problem = norvane::MakeDefaultWorkingFolderReady(folder);
    if (!problem.isEmpty()) {
      QMessageBox::critical(nullptr, "ERROR", problem);
      return 1;
    }
    // The programs started later (varnex, tessal) work in the current folder too.
    QDir::setCurrent(folder);
  }
  norvane::MainWindow window(folder.toStdString());
  window.Start();
  return app.exec();
}
