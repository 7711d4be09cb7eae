#pragma once
#include <cstddef>
#include <functional>
#include <string_view>

namespace norvane {

// One report found in a bulletin: the raw text from the identifier up to (not
// including) its end mark, and the 0-based position of its "Z".
struct RawReport {
  std::string_view text;
  std::size_t zPosition = 0;
};

// Longest stretch searched for a report's end ("=" then CR or LF, or ETX).
inline constexpr std::size_t kReportEndSearch = 1000;

// Cuts a bulletin into reports. A report starts at an identifier, a blank and a
// day-hour-minute group ending in "Z" and a blank; text between reports (headers,
// blank lines, control bytes) never matches and is skipped. Reports without an end
// within the search window are dropped. `onHeader` runs for every "Z " seen (the
// downloader counts them as progress). Works on views: no copy of the bulletin.
void CutBulletin(std::string_view bulletin, const std::function<void(const RawReport&)>& onReport,
                 const std::function<void(std::size_t position)>& onHeader = {});

}  // namespace norvane
