#include "downloader/archive_batch.h"

#include <vector>

namespace norvane {

const std::string* ArchiveBatch::Find(const std::string& name) const {
  if (auto it = held_.find(name); it != held_.end()) return &it->second;
  if (auto it = twins_.find(name); it != twins_.end()) return &it->second;
  return nullptr;
}

bool ArchiveBatch::Exists(const std::string& name) const {
  if (name == folder_) {
    if (!folderSeen_) folderSeen_ = inner_.Exists(name);
    return folderSeen_;
  }
  return Find(name) || inner_.Exists(name);
}

bool ArchiveBatch::CreateFolder(const std::string& name) {
  const bool made = inner_.CreateFolder(name);
  if (made && name == folder_) folderSeen_ = true;
  return made;
}

std::optional<std::string> ArchiveBatch::ReadAll(const std::string& name) const {
  if (const std::string* held = Find(name)) return *held;
  if (name == heldAppends_ && !appended_.empty()) return inner_.ReadAll(name).value_or("") + appended_;
  return inner_.ReadAll(name);
}

std::optional<std::uint64_t> ArchiveBatch::Length(const std::string& name) const {
  if (const std::string* held = Find(name)) return held->size();
  if (name == heldAppends_ && !appended_.empty()) return inner_.Length(name).value_or(0) + appended_.size();
  return inner_.Length(name);
}

bool ArchiveBatch::WriteAll(const std::string& name, const std::string& bytes) {
  if (!Inside(name)) return inner_.WriteAll(name, bytes);
  twins_[name] = bytes;
  return true;
}

bool ArchiveBatch::Append(const std::string& name, const std::string& bytes) {
  if (heldAppends_.empty() || name != heldAppends_) return inner_.Append(name, bytes);
  appended_ += bytes;
  return true;
}

bool ArchiveBatch::Rename(const std::string& from, const std::string& to) {
  auto it = twins_.find(from);
  if (it == twins_.end()) return inner_.Rename(from, to);
  held_[to] = std::move(it->second);
  twins_.erase(it);
  return true;
}

bool ArchiveBatch::Remove(const std::string& name) {
  if (twins_.erase(name) + held_.erase(name) > 0) return true;
  return inner_.Remove(name);
}

bool ArchiveBatch::SyncFile(const std::string& name) { return Find(name) ? true : inner_.SyncFile(name); }

bool ArchiveBatch::SyncFolder(const std::string& folder) {
  return folder == folder_ ? true : inner_.SyncFolder(folder);
}

bool ArchiveBatch::Flush() {
  if (!appended_.empty()) {
    if (!inner_.Append(heldAppends_, appended_)) return false;
    appended_.clear();
  }
  if (held_.empty()) return true;
  // An existing spare is rewritten in place of a new file.
  for (const auto& [name, bytes] : held_) {
    if (!inner_.WriteAll(name + ".tmp", bytes)) {
      inner_.Remove(name + ".tmp");
      return false;
    }
  }
  if (!inner_.SyncAll()) return false;
  for (auto it = held_.begin(); it != held_.end();) {
    // A new archive, or a file system that cannot swap, takes the plain rename.
    const std::string twin = it->first + ".tmp";
    if (!inner_.Exchange(twin, it->first) && !inner_.Rename(twin, it->first)) return false;
    it = held_.erase(it);
  }
  inner_.SyncFolder(folder_);
  return true;
}

}  // namespace norvane
