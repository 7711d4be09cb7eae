#include "core/working_folder.h"

namespace norvane {

void RemoveMatching(FileSystem& fs, const std::string& folder, const std::string& pattern) {
  for (const std::string& name : fs.List(folder, pattern)) fs.Remove(folder.empty() ? name : folder + "/" + name);
}

bool PrepareWorkingFolder(FileSystem& fs) {
  const bool ok = fs.CreateFolder("obsfolder") && fs.CreateFolder("scripts");
  fs.Remove("lock.zzz");
  RemoveMatching(fs, "", "*.pid");
  fs.Remove(fs.Resolve("scripts/redraw.nvs"));
  return ok;
}

}  // namespace norvane
