#include "ui/qt/instance_lock.h"

#include <QDir>

namespace norvane {

QString InstanceLockPath(const QString& folder) { return QDir(folder).filePath(".norvane-instance.lck"); }

InstanceLock LockWorkingFolder(QLockFile& lock) {
  lock.setStaleLockTime(0);
  if (lock.tryLock(100)) return InstanceLock::Held;
  return lock.error() == QLockFile::LockFailedError ? InstanceLock::HeldByAnother : InstanceLock::FolderNotWritable;
}

}  // namespace norvane
