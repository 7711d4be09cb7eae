#include "core/local_file_system.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace norvane {

namespace fs = std::filesystem;

bool WildcardMatch(std::string_view p, std::string_view n) {
  // Iterative match with one backtrack point: no recursion on input.
  std::size_t pi = 0, ni = 0, star = std::string_view::npos, mark = 0;
  auto eq = [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b)); };
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' || eq(p[pi], n[ni]))) { ++pi; ++ni; }
    else if (pi < p.size() && p[pi] == '*') { star = pi++; mark = ni; }
    else if (star != std::string_view::npos) { pi = star + 1; ni = ++mark; }
    else return false;
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

LocalFileSystem::LocalFileSystem(fs::path root) : root_(std::move(root)) {}

fs::path LocalFileSystem::Full(const std::string& name) const { return name.empty() ? root_ : root_ / name; }

bool LocalFileSystem::Exists(const std::string& name) const {
  std::error_code ec;
  return fs::exists(Full(name), ec);
}

std::optional<std::string> LocalFileSystem::ReadAll(const std::string& name) const {
  std::ifstream in(Full(name), std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream s;
  s << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return s.str();
}

bool LocalFileSystem::WriteAll(const std::string& name, const std::string& bytes) {
  // An existing file is overwritten and cut to length, not truncated first: emptying
  // a file frees its blocks (a discard each on some disks) only to allocate them again.
  const int fd = ::open(Full(name).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  bool ok = true;
  while (ok && left > 0) {
    const ssize_t n = ::write(fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) {
      data += n;
      left -= static_cast<std::size_t>(n);
    }
  }
  ok = ok && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
  int error = ok ? 0 : errno;  // the caller reads the cause of the first failure
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (!ok) errno = error;
  return ok;
}

bool LocalFileSystem::Append(const std::string& name, const std::string& bytes) {
  std::ofstream out(Full(name), std::ios::binary | std::ios::app);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.flush();
  return static_cast<bool>(out);
}

bool LocalFileSystem::Rename(const std::string& from, const std::string& to) {
  std::error_code ec;
  fs::rename(Full(from), Full(to), ec);  // replaces the target atomically on POSIX
  return !ec;
}

bool LocalFileSystem::Exchange(const std::string& first, const std::string& second) {
  return ::renameat2(AT_FDCWD, Full(first).c_str(), AT_FDCWD, Full(second).c_str(), RENAME_EXCHANGE) == 0;
}

namespace {

// fsync of a file or folder opened read-only (what POSIX allows for both).
bool SyncPath(const fs::path& path, bool wholeFileSystem) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = (wholeFileSystem ? ::syncfs(fd) : ::fsync(fd)) == 0;
  ::close(fd);
  return ok;
}

}  // namespace

bool LocalFileSystem::SyncFile(const std::string& name) { return SyncPath(Full(name), false); }

bool LocalFileSystem::SyncFolder(const std::string& folder) {
  return SyncPath(folder.empty() ? root_ : Full(folder), false);
}

bool LocalFileSystem::SyncAll() { return SyncPath(root_, true); }

bool LocalFileSystem::Remove(const std::string& name) {
  std::error_code ec;
  return fs::remove(Full(name), ec) && !ec;
}

bool LocalFileSystem::CreateFolder(const std::string& name) {
  std::error_code ec;
  fs::create_directories(Full(name), ec);
  return fs::is_directory(Full(name), ec);
}

std::vector<std::string> LocalFileSystem::List(const std::string& folder, const std::string& pattern) const {
  std::vector<std::string> out;
  std::error_code ec;
  for (fs::directory_iterator it(Full(folder), ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    std::string n = it->path().filename().string();
    if (WildcardMatch(pattern, n)) out.push_back(n);
  }
  return out;
}

std::optional<std::uint64_t> LocalFileSystem::Length(const std::string& name) const {
  std::error_code ec;
  auto n = fs::file_size(Full(name), ec);
  if (ec) return std::nullopt;
  return n;
}

std::string LocalFileSystem::Resolve(const std::string& name) const {
  if (Exists(name)) return name;
  // Walk the path one part at a time, matching each part without regard to case.
  fs::path rel(name);
  fs::path found;
  for (const auto& part : rel) {
    std::error_code ec;
    fs::path dir = Full(found.string());
    fs::path next = found / part;
    if (!fs::exists(Full(next.string()), ec)) {
      bool matched = false;
      for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string n = it->path().filename().string();
        if (n.size() == part.string().size() && WildcardMatch(part.string(), n) &&
            part.string().find_first_of("*?") == std::string::npos) {
          next = found / n;
          matched = true;
          break;
        }
      }
      if (!matched) return name;
    }
    found = next;
  }
  return found.string();
}

}  // namespace norvane
