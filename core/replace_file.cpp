#include "core/replace_file.h"

namespace norvane {

bool ReplaceFile(FileSystem& fs, const std::string& target, const std::string& contents, const std::string& twin) {
  if (!fs.WriteAll(twin, contents)) {
    fs.Remove(twin);
    return false;
  }
  if (!fs.Rename(twin, target)) {
    fs.Remove(twin);
    return false;
  }
  return true;
}

bool ReplaceFile(FileSystem& fs, const std::string& target, const std::string& contents) {
  return ReplaceFile(fs, target, contents, target + ".tmp");
}

}  // namespace norvane
