#pragma once
// The station archives of one download, written as one batch at its end: every twin,
// one sync of the file system, then every switch and one sync of the folder. Synced
// one by one, thousands of archives would cost a disk flush each.
//
// An archive's twin ("<archive>.tmp") is kept after the switch as a lasting spare: the
// twin and the archive swap places, so the next download rewrites the spare's file
// instead of making a new one and freeing the old. Creating and freeing thousands of
// files a download is what made it slow. A spare holds an earlier version of its
// archive; nothing reads it, and its name ends in ".tmp", which is never an archive's.
#include <map>
#include <string>

#include "platform/file_system.h"

namespace norvane {

// A folder over `inner` in which the files replaced inside `folder` are kept in
// memory (reads see them) until `Flush`, as are the appends to `heldAppends`.
// Everything else goes straight through.
class ArchiveBatch : public FileSystem {
 public:
  ArchiveBatch(FileSystem& inner, std::string folder, std::string heldAppends = {})
      : inner_(inner), folder_(std::move(folder)), prefix_(folder_ + "/"), heldAppends_(std::move(heldAppends)) {}

  // Appends the held lines, then writes the held files; false at the first failure,
  // after which what is not yet in place is still held and a second Flush tries it again.
  bool Flush();
  std::size_t Held() const { return held_.size(); }

  bool Exists(const std::string& name) const override;
  std::optional<std::string> ReadAll(const std::string& name) const override;
  bool WriteAll(const std::string& name, const std::string& bytes) override;
  bool Append(const std::string& name, const std::string& bytes) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool Exchange(const std::string& first, const std::string& second) override {
    return inner_.Exchange(first, second);
  }
  bool Remove(const std::string& name) override;
  bool CreateFolder(const std::string& name) override;
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
  std::string folder_;
  std::string prefix_;
  std::string heldAppends_;
  std::string appended_;                      // to `heldAppends_`, not yet written
  mutable bool folderSeen_ = false;           // asked once, not for every report
  std::map<std::string, std::string> twins_;  // written, not yet renamed
  std::map<std::string, std::string> held_;   // by the name they replace
};

}  // namespace norvane
