#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace norvane {

// File operations on the working folder. Names are relative to it and use '/'.
// Lookups by a name that came through a command or a script ignore letter case
// (`Resolve`), because scripts and commands upper-case their words.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual bool Exists(const std::string& name) const = 0;
  virtual std::optional<std::string> ReadAll(const std::string& name) const = 0;
  // Writes the whole file (creating it, or overwriting it and cutting it to length).
  // False on any failure.
  virtual bool WriteAll(const std::string& name, const std::string& bytes) = 0;
  virtual bool Append(const std::string& name, const std::string& bytes) = 0;
  // Renames over an existing target in one step.
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  // Swaps two existing files in one step: each name then holds the other's file.
  // False when either is missing or the file system cannot; callers then rename.
  virtual bool Exchange(const std::string& /*first*/, const std::string& /*second*/) { return false; }
  virtual bool Remove(const std::string& name) = 0;
  virtual bool CreateFolder(const std::string& name) = 0;
  // Names (without folder) of the files in a folder ("" for the working folder)
  // that match a wildcard pattern of '*' and '?', compared without regard to case.
  virtual std::vector<std::string> List(const std::string& folder, const std::string& pattern) const = 0;
  virtual std::optional<std::uint64_t> Length(const std::string& name) const = 0;
  // The existing name that equals `name` without regard to letter case, or `name` itself.
  virtual std::string Resolve(const std::string& name) const = 0;
  // Durability after a power cut: the data of a written file, the names of a folder
  // ("" for the working folder) after renames, or everything written so far in one go.
  // A file system with nothing to make durable answers true.
  virtual bool SyncFile(const std::string& /*name*/) { return true; }
  virtual bool SyncFolder(const std::string& /*folder*/) { return true; }
  virtual bool SyncAll() { return true; }
};

}  // namespace norvane
