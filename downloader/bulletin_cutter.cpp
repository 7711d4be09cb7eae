#include "downloader/bulletin_cutter.h"

#include "core/lenient_number.h"

namespace norvane {

namespace {

bool IsControlOrBlank(char c) { return static_cast<unsigned char>(c) < 33; }

// The identifier, blank and six-digit day-hour-minute group behind the "Z" at z.
bool HeaderBehind(std::string_view b, std::size_t z) {
  if (z < 12) return false;
  if (b[z - 7] != ' ') return false;
  if (LenientNumber(b.substr(z - 6, 6)) <= 9999) return false;
  return IsControlOrBlank(b[z - 12]);
}

}  // namespace

void CutBulletin(std::string_view b, const std::function<void(const RawReport&)>& onReport,
                 const std::function<void(std::size_t)>& onHeader) {
  const std::size_t n = b.size();
  std::size_t z = 0;
  while (z + 1 < n) {
    if (b[z] != 'Z' || b[z + 1] != ' ') {
      ++z;
      continue;
    }
    if (onHeader) onHeader(z);
    if (!HeaderBehind(b, z)) {
      ++z;
      continue;
    }
    const std::size_t last = std::min(n - 1, z + kReportEndSearch);
    std::size_t end = std::string_view::npos;
    for (std::size_t j = z; j <= last; ++j) {
      if (b[j] == '\x03') { end = j; break; }
      if (b[j] == '=' && j + 1 < n && (b[j + 1] == '\r' || b[j + 1] == '\n')) { end = j; break; }
    }
    if (end == std::string_view::npos) {
      z += kReportEndSearch + 2;
      continue;
    }
    const std::size_t start = z - 11;
    if (onReport) onReport(RawReport{b.substr(start, end - start), z});
    z = end + 1;
  }
}

}  // namespace norvane
