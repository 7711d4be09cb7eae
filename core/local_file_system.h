#pragma once
#include <filesystem>

#include "platform/file_system.h"

namespace norvane {

// The real file system, rooted at the working folder.
class LocalFileSystem : public FileSystem {
 public:
  explicit LocalFileSystem(std::filesystem::path root);
  bool Exists(const std::string& name) const override;
  std::optional<std::string> ReadAll(const std::string& name) const override;
  bool WriteAll(const std::string& name, const std::string& bytes) override;
  bool Append(const std::string& name, const std::string& bytes) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool Exchange(const std::string& first, const std::string& second) override;
  bool Remove(const std::string& name) override;
  bool CreateFolder(const std::string& name) override;
  std::vector<std::string> List(const std::string& folder, const std::string& pattern) const override;
  std::optional<std::uint64_t> Length(const std::string& name) const override;
  std::string Resolve(const std::string& name) const override;
  bool SyncFile(const std::string& name) override;
  bool SyncFolder(const std::string& folder) override;
  bool SyncAll() override;
  const std::filesystem::path& Root() const { return root_; }

 private:
  std::filesystem::path Full(const std::string& name) const;
  std::filesystem::path root_;
};

// Wildcard match of '*' and '?' without regard to letter case.
bool WildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace norvane
