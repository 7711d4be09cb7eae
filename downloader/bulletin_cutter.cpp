#include "downloader/bulletin_cutter.h"

#include "core/lenient_number.h"

namespace norvane {

namespace {

bool IsControlOrBlank(char c) { return static_cast<unsigned char>(c) < 33; }
bool IsBreak(char c) { return c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The identifier, blank and six-digit day-hour-minute group behind the "Z" at z.
bool HeaderBehind(std::string_view b, std::size_t z) {
  if (z < 12) return false;
  if (b[z - 7] != ' ') return false;
  if (LenientNumber(b.substr(z - 6, 6)) <= 9999) return false;
  return IsControlOrBlank(b[z - 12]);
}

// The start of the line after the break at p. WMO bulletins end their lines with
// CR CR LF, which is one break; a CR with no LF behind it is a break of its own.
std::size_t NextLine(std::string_view b, std::size_t p) {
  std::size_t q = p;
  while (q < b.size() && b[q] == '\r') ++q;
  if (q < b.size() && b[q] == '\n') return q + 1;
  return p + 1;
}

// A line that holds nothing but blanks (or nothing at all).
bool EmptyLine(std::string_view b, std::size_t s) {
  while (s < b.size() && (b[s] == ' ' || b[s] == '\t')) ++s;
  return s >= b.size() || IsBreak(b[s]);
}

// "YYYY/MM/DD HH:MM", the line cycle files put before every report.
bool DateLine(std::string_view b, std::size_t s) {
  static constexpr std::string_view kShape = "0000/00/00 00:00";
  if (b.size() - s < kShape.size()) return false;
  for (std::size_t k = 0; k < kShape.size(); ++k) {
    if (kShape[k] == '0' ? !IsDigit(b[s + k]) : b[s + k] != kShape[k]) return false;
  }
  return true;
}

// A line whose first word is a report header, perhaps behind its "METAR" or "SPECI" word.
bool ReportLine(std::string_view b, std::size_t s) {
  for (std::string_view word : {"METAR ", "SPECI "}) {
    if (b.substr(s, word.size()) == word) {
      s += word.size();
      break;
    }
  }
  const std::size_t z = s + 11;
  return z + 1 < b.size() && b[z] == 'Z' && b[z + 1] == ' ' && HeaderBehind(b, z);
}

// Where a report that starts at the "Z" at z ends: at the first "=" before a line
// break or at an ETX, unless a line that starts a report, a date line or an empty
// line comes first; then at the end of its own line and of the lines after it that
// begin with blanks. npos when neither is found within the search window.
std::size_t ReportEnd(std::string_view b, std::size_t z) {
  const std::size_t n = b.size();
  const std::size_t last = std::min(n - 1, z + kReportEndSearch);
  std::size_t ownLineEnd = std::string_view::npos;
  for (std::size_t j = z; j <= last; ++j) {
    const char c = b[j];
    if (c == '\x03') return j;
    if (c == '=' && j + 1 < n && IsBreak(b[j + 1])) return j;
    if (!IsBreak(c)) continue;
    if (ownLineEnd == std::string_view::npos) ownLineEnd = j;
    const std::size_t next = NextLine(b, j);
    if (next >= n) continue;
    if (EmptyLine(b, next) || DateLine(b, next) || ReportLine(b, next)) {
      std::size_t end = ownLineEnd;
      for (std::size_t line = NextLine(b, end); line < next && (b[line] == ' ' || b[line] == '\t');
           line = NextLine(b, end)) {
        end = line;
        while (end < n && !IsBreak(b[end])) ++end;
      }
      return end;
    }
    j = next - 1;
  }
  return std::string_view::npos;
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
    const std::size_t end = ReportEnd(b, z);
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
