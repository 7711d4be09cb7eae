// NorvaneApp: the map window. It works in the current folder (the working folder).
#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include "ui/qt/instance_lock.h"
#include "ui/qt/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Norvane");
  const QString folder = QDir::currentPath();
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
  norvane::MainWindow window(folder.toStdString());
  window.Start();
  return app.exec();
}
