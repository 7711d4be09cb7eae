#pragma once
// The downloader's file errors: which failures mean that another program holds the
// file (a short wait and another try may help) and how they read in the status file.
#include <string>

#include "platform/file_system.h"

namespace norvane {

// The working folder, remembering the system error (errno) and the file of the first
// write, append, rename or folder creation that failed since the last Reset.
// Removals are not tracked: removing a file that is already gone is routine.
class ErrorTrackingFileSystem : public FileSystem {
 public:
  explicit ErrorTrackingFileSystem(FileSystem& inner) : inner_(inner) {}
  void Reset();
  bool Failed() const { return failed_; }
  int ErrorNumber() const { return error_; }  // 0 when the cause is unknown
  const std::string& FailedFile() const { return file_; }

  bool Exists(const std::string& name) const override { return inner_.Exists(name); }
  std::optional<std::string> ReadAll(const std::string& name) const override { return inner_.ReadAll(name); }
  bool WriteAll(const std::string& name, const std::string& bytes) override;
  bool Append(const std::string& name, const std::string& bytes) override;
  bool Rename(const std::string& from, const std::string& to) override;
  // Not tracked: a failed exchange is followed by a rename, whose failure counts.
  bool Exchange(const std::string& first, const std::string& second) override {
    return inner_.Exchange(first, second);
  }
  bool Remove(const std::string& name) override { return inner_.Remove(name); }
  bool CreateFolder(const std::string& name) override;
  std::vector<std::string> List(const std::string& folder, const std::string& pattern) const override {
    return inner_.List(folder, pattern);
  }
  std::optional<std::uint64_t> Length(const std::string& name) const override { return inner_.Length(name); }
  std::string Resolve(const std::string& name) const override { return inner_.Resolve(name); }
  bool SyncFile(const std::string& name) override;
  bool SyncFolder(const std::string& folder) override { return inner_.SyncFolder(folder); }
  bool SyncAll() override { return inner_.SyncAll(); }

 private:
  template <typename Operation>
  bool Track(const std::string& name, Operation&& operation);

  FileSystem& inner_;
  bool failed_ = false;
  int error_ = 0;
  std::string file_;
};

// Permission denied, or the file is busy: what another program holding the file looks like.
bool IsSharingError(int errorNumber);
// The non-final status of a sharing error: "Error 70 - Permission denied occurred at line 5".
std::string SharingStatusText(int errorNumber, int statement);
// The final status of a file error that ended the download.
std::string FileFailureText(const std::string& file, int errorNumber);

}  // namespace norvane
