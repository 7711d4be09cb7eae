#include "ui/qt/default_working_folder.h"

#include <QCoreApplication>
#include <QDir>

#include "tools/ready_folder.h"

namespace norvane {

QString DefaultWorkingFolder() { return QDir::home().filePath("Norvane"); }

QString MakeDefaultWorkingFolderReady(const QString& folder) {
  const auto data = FindShippedData(QCoreApplication::applicationDirPath().toStdString());
  if (!data) return "The shipped data (share/norvane beside NorvaneApp) is missing.";
  const ReadyFolderResult ready = MakeReadyFolder(folder.toStdString(), *data, "");
  return ready.ok ? QString() : QString::fromStdString(ready.error);
}

}  // namespace norvane
