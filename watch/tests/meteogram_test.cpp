#include <gtest/gtest.h>

#include <cstdio>

#include "obs/decoded_observation.h"
#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/recording_canvas.h"
#include "watch/meteogram.h"

namespace norvane {
namespace {

using testing::MemoryFileSystem;
using testing::RecordingCanvas;

constexpr std::int32_t kNow = 14700000 + 1440 * 3;  // a whole day, 00:00

ObservationRecord Report(std::int32_t time, int temperature) {
  char text[96];
  const int minute = time % 1440;
  std::snprintf(text, sizeof text, "KDFW %02d%02d%02dZ 18012KT 10SM FEW250 %02d/10 A2992 RMK SLP%03d ", 8,
                minute / 60, minute % 60, temperature, 100 + temperature);
  return {time, text, DecodeReport(text)};
}

// A day and a half of hourly reports at :53 with four hours missing, one special report
// between two routine ones, the six newest in the store's slots and the rest in the
// archive, whose last line is cut short.
TEST(Meteogram, ReportsOfTheArchiveAndSlotsWithGapsAndASpecialReport) {
  std::vector<ObservationRecord> all;
  for (int hour = 36; hour >= 1; --hour) {
    if (hour >= 20 && hour <= 23) continue;  // the gap
    all.push_back(Report(kNow - 60 * hour + 53, 10 + hour % 7));
  }
  all.push_back(Report(kNow - 60 * 5 + 17, 30));  // the special report
  std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.time > b.time; });

  MemoryFileSystem fs;
  ObservationStore store;
  store.Clear();
  store[0].identifier = "KDFW";
  store[1].identifier = "end";
  for (int slot = 0; slot < 6; ++slot) store[0].reports[static_cast<std::size_t>(slot)] = all[static_cast<std::size_t>(slot)];
  const StationArchive archive(all.begin() + 6, all.end());
  const std::string text = FormatArchive(archive);
  fs.WriteAll(ArchiveFileName("KDFW"), text + "\"KDFW 071053Z 18012KT 10SM FEW250 ");

  const Meteogram m = BuildMeteogram(fs, store, "kdfw", 30, kNow);
  EXPECT_EQ(m.identifier, "KDFW");
  EXPECT_EQ(m.end, kNow);
  EXPECT_EQ(m.start, kNow - 30 * 60);
  EXPECT_TRUE(m.note.empty()) << m.note;
  // 30 hours back: the 30 hourly reports of hours 30 to 1, less the four of the gap, and
  // the special one; the cut line is not read.
  ASSERT_EQ(m.reports.size(), 30u - 4u + 1u);
  int gaps = 0, specials = 0;
  for (std::size_t k = 0; k < m.reports.size(); ++k) {
    const MeteogramReport& r = m.reports[k];
    if (k > 0) {
      EXPECT_GT(r.time, m.reports[k - 1].time);
    }
    if (k > 0 && r.afterGap) {
      ++gaps;
      EXPECT_EQ(r.time - m.reports[k - 1].time, 5 * 60);
    }
    if (r.special) {
      ++specials;
      EXPECT_EQ(r.time, kNow - 60 * 5 + 17);
      EXPECT_EQ(r.values.temperature, 30);
    }
    ASSERT_TRUE(r.values.seaLevelPressure);
    EXPECT_NEAR(*r.values.seaLevelPressure, 1000 + (100 + *r.values.temperature) / 10.0, 1e-9);
  }
  EXPECT_EQ(gaps, 1);
  EXPECT_EQ(specials, 1);

  // Drawn: the temperature line is broken at the gap (one segment fewer than neighbours
  // otherwise), and the special report's dot is open.
  RecordingCanvas canvas;
  canvas.Resize(900, 700);
  DrawMeteogram(canvas, m, true, nullptr);
  int temperatureSegments = 0, openDots = 0;
  for (const auto& op : canvas.ops) {
    if (op.kind == RecordingCanvas::Kind::Line && op.color == Rgb(210, 0, 0)) ++temperatureSegments;
    if (op.kind == RecordingCanvas::Kind::Circle && op.color == Rgb(210, 0, 0) && !op.filled) ++openDots;
    if (op.kind != RecordingCanvas::Kind::Clear) {
      EXPECT_GE(op.x1, 0);
      EXPECT_LE(op.x1, 900);
    }
  }
  EXPECT_EQ(temperatureSegments, static_cast<int>(m.reports.size()) - 2);
  EXPECT_EQ(openDots, 1);
}

// No archive, a station unknown, hours out of range: an empty panel with a note.
TEST(Meteogram, OutOfRangeHoursAndUnknownStationsGiveANoteNotAWrongAxis) {
  MemoryFileSystem fs;
  ObservationStore store;
  store.Clear();
  struct Case {
    double hours;
    int axisHours;
    const char* note;
  };
  const Case cases[] = {{1, 1, "No reports of KXXX in the last 1 hour"},
                        {1000, kMeteogramMaxHours, "at most 240 hours"},
                        {0, 1, "at least 1 hour"},
                        {-5, 1, "at least 1 hour"}};
  for (const Case& c : cases) {
    const Meteogram m = BuildMeteogram(fs, store, "KXXX", c.hours, kNow);
    EXPECT_EQ(m.end - m.start, 60 * c.axisHours) << c.hours;
    EXPECT_NE(m.note.find(c.note), std::string::npos) << m.note;
    RecordingCanvas canvas;
    canvas.Resize(600, 400);
    DrawMeteogram(canvas, m, false, nullptr);
    bool noted = false;
    for (const auto& op : canvas.ops) noted |= op.text == "No temperature or dew point reported";
    EXPECT_TRUE(noted);
  }
}

}  // namespace
}  // namespace norvane
