#include "watch/verification_views.h"

#include <cmath>

#include "commands/scheduler.h"
#include "core/time_stamp.h"
#include "watch/verification_map.h"

namespace norvane {
namespace {

void Count(ContinuityCounts& counts, std::int32_t m0, std::int32_t time) {
  const auto h = static_cast<long long>(std::floor((static_cast<double>(m0) - time) / 60));
  if (h >= 0 && h < kContinuityHours) ++counts[static_cast<std::size_t>(h)];
}

}  // namespace

std::string VerificationText(const FileSystem& fs, Reporter& reporter) {
  const auto contents = fs.ReadAll(kVerificationFile);
  if (!contents || contents->size() < 20) return kNothingToVerify;
  const VerificationRead read = ReadVerification(*contents);
  if (read.misaligned)
    reporter.ShowMessage("The verification file 'verify.out' holds " + std::to_string(read.skipped) +
                         " damaged parts; the entries around them are shown");
  if (read.entries.empty()) return kNothingToVerify;
  std::string text;
  for (auto entry = read.entries.rbegin(); entry != read.entries.rend(); ++entry)
    text.append(entry->event).append("\r\n").append(entry->report).append("\r\n").append(entry->empty).append("\r\n");
  return text;
}

ContinuityCounts CountContinuity(const ObservationStore& store, const FileSystem& fs, std::int32_t now) {
  ContinuityCounts counts{};
  const std::int32_t m0 = static_cast<std::int32_t>(std::floor(now / 60.0) * 60) + 15;
  const int end = store.EndIndex();
  for (int i = 0; i < end && i <= kStoreLastIndex; ++i) {
    const StationObservations& station = store[i];
    for (const ObservationRecord& slot : station.reports) {
      if (!slot.Empty()) Count(counts, m0, slot.time);
    }
    for (const ObservationRecord& line : VerificationArchive(fs, station.identifier)) Count(counts, m0, line.time);
  }
  return counts;
}

std::string ContinuityListing(const ContinuityCounts& counts, std::string_view nowStamp) {
  std::string listing;
  TimeStamp stamp(nowStamp);
  for (int h = 0; h < kContinuityHours; ++h) {
    const StampFields f = ReadStamp(stamp);
    listing += std::to_string(f.day) + " / " + std::to_string(f.month) + " / " + std::to_string(f.year) + " " +
               std::to_string(f.hour) + "Z" + "  -  " + std::to_string(counts[static_cast<std::size_t>(h)]) +
               " observations" + "\r\n" + "*  ";
    stamp = StampAddHours(stamp, -1);
  }
  return listing;
}

}  // namespace norvane
