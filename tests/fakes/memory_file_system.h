#pragma once
#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>

#include "core/local_file_system.h"
#include "platform/file_system.h"

namespace norvane::testing {

// An in-memory working folder with failure injection: `failWrites` makes every
// write fail after `writeBudget` bytes (the file keeps the cut-short part, as a
// full disk would), `failRenames` makes renames fail.
class MemoryFileSystem : public FileSystem {
 public:
  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  bool failWrites = false;
  std::size_t writeBudget = 0;
  bool failRenames = false;
  bool failRemoves = false;

  bool Exists(const std::string& n) const override { return files.count(n) || folders.count(n); }
  std::optional<std::string> ReadAll(const std::string& n) const override {
    auto it = files.find(n);
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
  bool WriteAll(const std::string& n, const std::string& b) override {
    if (failWrites) { files[n] = b.substr(0, std::min(writeBudget, b.size())); return false; }
    files[n] = b;
    return true;
  }
  bool Append(const std::string& n, const std::string& b) override {
    if (failWrites) return false;
    files[n] += b;
    return true;
  }
  bool Rename(const std::string& from, const std::string& to) override {
    if (failRenames) return false;
    auto it = files.find(from);
    if (it == files.end()) return false;
    files[to] = it->second;
    files.erase(from);
    return true;
  }
  bool Exchange(const std::string& a, const std::string& b) override {
    if (failRenames || !files.count(a) || !files.count(b)) return false;
    std::swap(files[a], files[b]);
    return true;
  }
  bool Remove(const std::string& n) override {
    if (failRemoves) return false;
    return files.erase(n) > 0;
  }
  bool CreateFolder(const std::string& n) override { folders.insert(n); return true; }
  std::vector<std::string> List(const std::string& folder, const std::string& pattern) const override {
    std::vector<std::string> out;
    const std::string prefix = folder.empty() ? "" : folder + "/";
    for (const auto& [name, _] : files) {
      if (name.compare(0, prefix.size(), prefix) != 0) continue;
      std::string rest = name.substr(prefix.size());
      if (rest.find('/') != std::string::npos) continue;
      if (WildcardMatch(pattern, rest)) out.push_back(rest);
    }
    return out;
  }
  std::optional<std::uint64_t> Length(const std::string& n) const override {
    auto it = files.find(n);
    if (it == files.end()) return std::nullopt;
    return it->second.size();
  }
  std::string Resolve(const std::string& n) const override {
    auto lower = [](std::string s) { for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c))); return s; };
    if (files.count(n)) return n;
    for (const auto& [name, _] : files) if (lower(name) == lower(n)) return name;
    return n;
  }
};

}  // namespace norvane::testing
