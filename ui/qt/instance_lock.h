#pragma once
#include <QLockFile>
#include <QString>

namespace norvane {

// One copy of the main program per working folder: the lock is held for the whole
// run and is released by the system if the program dies.
enum class InstanceLock { Held, HeldByAnother, FolderNotWritable };
InstanceLock LockWorkingFolder(QLockFile& lock);
QString InstanceLockPath(const QString& folder);

}  // namespace norvane
