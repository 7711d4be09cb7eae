#include "downloader/archive_batch.h"

#include <vector>

namespace norvane {

const std::string* ArchiveBatch::Find(const std::string& name) const {
  if (auto it = held_.find(name); it != held_.end()) return &it->second;
  if (auto it = twins_.find(name); it != twins_.end()) return &it->second;
  return nullptr;
}

bool ArchiveBatch::Exists(const std::string& name) const { return Find(name) || inner_.Exists(name); }

std::optional<std::string> ArchiveBatch::ReadAll(const std::string& name) const {
  if (const std::string* held = Find(name)) return *held;
  return inner_.ReadAll(name);
}

std::optional<std::uint64_t> ArchiveBatch::Length(const std::string& name) const {
  if (const std::string* held = Find(name)) return held->size();
  return inner_.Length(name);
}

bool ArchiveBatch::WriteAll(const std::string& name, const std::string& bytes) {
  if (!Inside(name)) return inner_.WriteAll(name, bytes);
  twins_[name] = bytes;
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
  return folder + "/" == prefix_ ? true : inner_.SyncFolder(folder);
}

bool ArchiveBatch::Flush() {
  if (held_.empty()) return true;
  for (const auto& [name, bytes] : held_) {
    if (!inner_.WriteAll(name + ".tmp", bytes)) {
      inner_.Remove(name + ".tmp");
      return false;
    }
  }
  if (!inner_.SyncAll()) return false;
  for (auto it = held_.begin(); it != held_.end();) {
    if (!inner_.Rename(it->first + ".tmp", it->first)) return false;
    it = held_.erase(it);
  }
  inner_.SyncFolder(prefix_.substr(0, prefix_.size() - 1));
  return true;
}

}  // namespace norvane
