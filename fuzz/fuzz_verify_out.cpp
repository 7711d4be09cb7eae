// Any bytes as "verify.out" and "watch.zzz": the readers, the cleaning, the text view
// and the watch never fail; a cleaned file reads back whole, with every entry kept.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "commands/scheduler.h"
#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/recording_reporter.h"
#include "watch/verification_views.h"
#include "watch/watch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  norvane::testing::MemoryFileSystem fs;
  norvane::testing::RecordingReporter reporter;
  fs.files["verify.out"] = bytes;
  fs.files["watch.zzz"] = bytes;
  (void)norvane::VerificationText(fs, reporter);

  const norvane::VerificationRead read = norvane::ReadVerification(bytes);
  if (read.validEnd > bytes.size()) std::abort();
  if (norvane::CleanVerification(fs, reporter, 0, 2147483647)) {
    const norvane::VerificationRead cleaned = norvane::ReadVerification(fs.files.at("verify.out"));
    if (cleaned.misaligned || cleaned.tornTail || cleaned.skipped != 0 ||
        cleaned.entries.size() != read.entries.size())
      std::abort();
  }

  const norvane::PointList points{{"A", 0, 0}, {"B", 4198, -8790}, {"C", -9000, 18000}};
  norvane::WatchBox box;
  norvane::WatchContext context{fs, reporter, points, 100, 3440, box};
  (void)norvane::WatchHandOffFile(context);
  if (box.Text().size() > norvane::kWatchBoxLimit) std::abort();
  return 0;
}
