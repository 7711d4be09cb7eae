#include "downloader/file_errors.h"

#include <cerrno>
#include <system_error>

namespace norvane {

void ErrorTrackingFileSystem::Reset() {
  failed_ = false;
  error_ = 0;
  file_.clear();
}

template <typename Operation>
bool ErrorTrackingFileSystem::Track(const std::string& name, Operation&& operation) {
  errno = 0;
  const bool ok = operation();
  if (!ok && !failed_) {
    // Read at once: the clean-up after a failed step may fail too and set errno again.
    error_ = errno;
    failed_ = true;
    file_ = name;
  }
  return ok;
}

bool ErrorTrackingFileSystem::WriteAll(const std::string& name, const std::string& bytes) {
  return Track(name, [&] { return inner_.WriteAll(name, bytes); });
}

bool ErrorTrackingFileSystem::Append(const std::string& name, const std::string& bytes) {
  return Track(name, [&] { return inner_.Append(name, bytes); });
}

bool ErrorTrackingFileSystem::Rename(const std::string& from, const std::string& to) {
  return Track(to, [&] { return inner_.Rename(from, to); });
}

bool ErrorTrackingFileSystem::SyncFile(const std::string& name) {
  return Track(name, [&] { return inner_.SyncFile(name); });
}

bool ErrorTrackingFileSystem::CreateFolder(const std::string& name) {
  return Track(name, [&] { return inner_.CreateFolder(name); });
}

bool IsSharingError(int errorNumber) {
  return errorNumber == EACCES || errorNumber == EPERM || errorNumber == EBUSY || errorNumber == ETXTBSY;
}

std::string SharingStatusText(int errorNumber, int statement) {
  const bool denied = errorNumber == EACCES || errorNumber == EPERM;
  return std::string(denied ? "Error 70 - Permission denied" : "Error 75 - Path/File access error") +
         " occurred at line " + std::to_string(statement);
}

std::string FileFailureText(const std::string& file, int errorNumber) {
  std::string text = "Observation download failed - could not write '" + file + "'";
  if (errorNumber != 0) text += " (" + std::generic_category().message(errorNumber) + ")";
  return text + " - the observation store was not changed";
}

}  // namespace norvane
