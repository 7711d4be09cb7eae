#include "core/replace_file.h"

namespace norvane {

std::string FolderOf(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? std::string() : name.substr(0, slash);
}

bool ReplaceFile(FileSystem& fs, const std::string& target, const std::string& contents, const std::string& twin) {
  // The twin's data must be on the disk before the rename is, or a power cut can
  // leave the new name over an empty file.
  if (!fs.WriteAll(twin, contents) || !fs.SyncFile(twin)) {
    fs.Remove(twin);
    return false;
  }
  if (!fs.Rename(twin, target)) {
    fs.Remove(twin);
    return false;
  }
  // The rename itself is durable once the folder is; the new file is in place either way.
  fs.SyncFolder(FolderOf(target));
  return true;
}

bool ReplaceFile(FileSystem& fs, const std::string& target, const std::string& contents) {
  return ReplaceFile(fs, target, contents, target + ".tmp");
}

}  // namespace norvane
