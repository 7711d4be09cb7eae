#pragma once
// The station archives of one download, written as one batch at its end: every twin,
// one sync of the file system, then every rename and one sync of the folder. Synced
// one by one, thousands of archives would cost a disk flush each.
#include <map>
#include <string>

#include "platform/file_system.h"

namespace norvane {

// A folder over `inner` in which the files replaced inside `folder` are kept in
// memory (reads see them) until `Flush`. Everything else goes straight through.
class ArchiveBatch : public FileSystem {
 public:
  ArchiveBatch(FileSystem& inner, std::string folder) : inner_(inner), prefix_(std::move(folder) + "/") {}

  // Writes the held files; false at the first failure, after which the files not yet
  // in place are still held and a second Flush tries them again.
  bool Flush();
  std::size_t Held() const { return held_.size(); }

  bool Exists(const std::string& name) const override;
  std::optional<std::string> ReadAll(const std::string& name) const override;
  bool WriteAll(const std::string& name, const std::string& bytes) override;
  bool Append(const std::string& name, const std::string& bytes) override { return inner_.Append(name, bytes); }
  bool Rename(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& name) override;
  bool CreateFolder(const std::string& name) override { return inner_.CreateFolder(name); }
  std::vector<std::string> List(const std::string& folder, const std::string& pattern) const override {
    return inner_.List(folder, pattern);
  }
  std::optional<std::uint64_t> Length(const std::string& name) const override;
  std::string Resolve(const std::string& name) const override { return inner_.Resolve(name); }
  bool SyncFile(const std::string& name) override;
  bool SyncFolder(const std::string& folder) override;
  bool SyncAll() override { return inner_.SyncAll(); }

 private:
  bool Inside(const std::string& name) const { return name.compare(0, prefix_.size(), prefix_) == 0; }
  const std::string* Find(const std::string& name) const;

  FileSystem& inner_;
  std::string prefix_;
  std::map<std::string, std::string> twins_;  // written, not yet renamed
  std::map<std::string, std::string> held_;   // by the name they replace
};

}  // namespace norvane
