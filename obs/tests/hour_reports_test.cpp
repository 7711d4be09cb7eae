#include <gtest/gtest.h>

#include "obs/hour_reports.h"
#include "tests/fakes/memory_file_system.h"

namespace norvane {
namespace {

using testing::MemoryFileSystem;

ObservationRecord At(std::int32_t time) { return {time, "KXYZ " + std::to_string(time) + "Z ", std::string(63, '0')}; }

// Which report stands for each hour: slots and archive of one station mixed, the
// nearest within 30 minutes, the later of two equally near, none beyond reach.
TEST(HourReports, EachHourTakesTheNearestReportWithinHalfAnHour) {
  constexpr std::int32_t H = 60000;  // a whole hour
  struct Case {
    const char* what;
    std::vector<std::int32_t> slots;    // newest first
    std::vector<std::int32_t> archive;  // newest first
    std::int32_t hour;
    std::int32_t chosen;  // -1: no report for the hour
  };
  const Case cases[] = {
      {"the usual report before the hour", {H + 53, H - 7}, {}, H, H - 7},
      {"nearer after the hour", {H + 5, H - 7}, {}, H, H + 5},
      {"equally near: the later", {H + 10, H - 10}, {}, H, H + 10},
      {"exactly at the edge of reach", {H - 30}, {}, H, H - 30},
      {"just beyond reach on both sides", {H + 31, H - 31}, {}, H, -1},
      {"no report at all", {}, {}, H, -1},
      {"an hour only the archive covers", {H + 300, H + 240, H + 180, H + 120, H + 60, H + 10}, {H - 4, H - 64}, H - 60,
       H - 64},
      {"slot and archive line equally near: the later", {H + 300, H + 240, H + 180, H + 120, H + 60, H + 15},
       {H - 15}, H, H + 15},
      {"an archive line nearer than the slots", {H + 300, H + 240, H + 180, H + 120, H + 60, H + 25}, {H - 2},
       H, H - 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryFileSystem fs;
    ObservationStore store;
    store.Clear();
    store[0].identifier = "KXYZ";
    store[0].latitude = 4000;
    for (std::size_t k = 0; k < c.slots.size(); ++k) store[0].reports[k] = At(c.slots[k]);
    store[1].identifier = kEndIdentifier;
    StationArchive archive;
    for (std::int32_t t : c.archive) archive.push_back(At(t));
    if (!archive.empty()) fs.files[ArchiveFileName("KXYZ")] = FormatArchive(archive);

    const StationHistories histories = ReadStationHistories(fs, store, c.hour - 120, c.hour + 60);
    ObservationStore frame;
    const int found = FillStoreAtHour(histories, c.hour, frame);
    EXPECT_EQ(frame[0].identifier, "KXYZ");
    EXPECT_EQ(frame[0].latitude, 4000);
    EXPECT_EQ(frame[1].identifier, kEndIdentifier);
    EXPECT_TRUE(frame[0].reports[1].Empty());
    if (c.chosen < 0) {
      EXPECT_EQ(found, 0);
      EXPECT_TRUE(frame[0].reports[0].Empty());
    } else {
      EXPECT_EQ(found, 1);
      EXPECT_EQ(frame[0].reports[0].time, c.chosen);
    }
  }
}

}  // namespace
}  // namespace norvane
