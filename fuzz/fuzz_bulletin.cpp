// Any bytes as the body a server sends: the downloader unpacks, cuts, dates and files
// what it can and always ends with a final status; the cutter alone stays within the
// body and returns reports that clean to the stored form.
#include <cstddef>
#include <cstdint>
#include <string>

#include "downloader/bulletin_cutter.h"
#include "downloader/download_driver.h"
#include "downloader/report_dating.h"
#include "obs/report_cleaning.h"
#include "obs/station_tables.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_random.h"
#include "tests/fakes/memory_file_system.h"

namespace {

struct OneBodyFetch : norvane::HttpFetch {
  std::string body;
  bool given = false;
  void Start(const std::string&) override {}
  void Cancel() override {}
  int StatusCode() const override { return 200; }
  std::optional<std::string> ReadChunk(std::size_t) override {
    if (given) return std::string();
    given = true;
    return body;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const norvane::CivilTime today{2026, 12, 7, 12, 30, 0};
  norvane::CutBulletin(bytes, [&](const norvane::RawReport& raw) {
    if (raw.text.data() < bytes.data() || raw.text.data() + raw.text.size() > bytes.data() + bytes.size())
      __builtin_trap();
    const std::string report = norvane::CleanReport(raw.text);
    if (report.find_first_of("\",\r\n") != std::string::npos) __builtin_trap();
    (void)norvane::DateReport(report, today);
  });

  norvane::testing::MemoryFileSystem fs;
  norvane::testing::FakeClock clock;
  norvane::testing::FakeRandom random;
  clock.Set(2026, 12, 7, 12, 30);
  fs.files["lock.zzz"] = "\"5\"\r\n";
  fs.files["norvane.ini"] = "\"[MAX OB AGE]\",48\r\n";
  fs.files["latlong.stn"] = norvane::FormatLatLong({{"KABC", 4500, -9300}, {"EGLL", 5148, -45}});
  OneBodyFetch fetch;
  fetch.body = bytes;
  norvane::DownloadDriver driver(fs, fetch, clock, random, norvane::DriverHost{});
  driver.Start("http://127.0.0.1/x 5");
  driver.OnFetchComplete();
  if (!driver.Ended()) __builtin_trap();
  return 0;
}
