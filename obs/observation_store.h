#pragma once
// The observation store: every station's six most recent reports in memory, the store
// file "obs.wad", the per-station archives in "obsfolder" and the "watch.zzz" hand-off.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace norvane {

class StationTable;

constexpr int kStoreLastIndex = 6000;        // entries 0..6000 are usable
constexpr int kStoreEntries = kStoreLastIndex + 1;
constexpr int kStationSlots = 6;
constexpr int kDefaultMaxObAge = 48;         // hours
inline constexpr const char* kEndIdentifier = "end";
inline constexpr const char* kStoreFile = "obs.wad";
inline constexpr const char* kStoreTwin = "temp.wad";
inline constexpr const char* kArchiveFolder = "obsfolder";
inline constexpr const char* kArchiveTwin = "obsfolder/temp.obs";
inline constexpr const char* kWatchFile = "watch.zzz";

// One report of one station. An empty report text marks an empty slot.
struct ObservationRecord {
  std::int32_t time = 0;      // absolute minutes
  std::string report;         // cleaned report text, one trailing blank
  std::string decoded;        // 63-column decoded text (may be damaged when read from a file)
  bool Empty() const { return report.empty(); }
  bool operator==(const ObservationRecord&) const = default;
};

// One station's entry: slot 0 the newest; filled slots contiguous from slot 0.
struct StationObservations {
  std::string identifier;     // "end" marks the first free entry; empty when never filled
  std::int16_t latitude = 0;  // hundredths of a degree, north positive
  std::int16_t longitude = 0; // hundredths of a degree, east positive
  std::array<ObservationRecord, kStationSlots> reports{};
  bool shown = false;         // main program only; never stored
  void ClearSlots() { reports = {}; }
};

// The fixed table of 6001 usable entries (plus one for the end marker beyond 6000).
// Readers scan from index 0 up to the first "end" and never past index 6000.
class ObservationStore {
 public:
  ObservationStore() : entries_(kStoreEntries + 1) {}
  StationObservations& operator[](int i) { return entries_[static_cast<std::size_t>(i)]; }
  const StationObservations& operator[](int i) const { return entries_[static_cast<std::size_t>(i)]; }
  // Index of the first "end" entry (or kStoreEntries when none up to 6000).
  int EndIndex() const;
  // Index of the entry with this identifier before the end, or -1.
  int Find(std::string_view identifier) const;
  void Clear();  // every entry empty, entry 0 "end"

 private:
  std::vector<StationObservations> entries_;
};

// A line of a station archive: the same three items as a store slot.
using StationArchive = std::vector<ObservationRecord>;

// "obsfolder/" + identifier + ".obs".
std::string ArchiveFileName(std::string_view identifier);
// Reads an archive leniently (missing file gives an empty archive; a damaged tail is dropped).
StationArchive ReadArchive(const FileSystem& fs, std::string_view identifier);
std::string FormatArchive(const StationArchive& archive);

// One line of "watch.zzz": a report newly added to the store.
struct WatchRecord {
  std::int16_t latitude = 0;
  std::int16_t longitude = 0;
  std::string report;
  std::string decoded;
  std::int32_t time = 0;
};
std::string FormatWatchRecord(const WatchRecord& record);
// Reads every complete record of "watch.zzz" (out-of-range positions skipped).
std::vector<WatchRecord> ReadWatchRecords(std::string_view bytes);

struct LoadResult {
  bool fileFound = false;
  int stations = 0;          // entries loaded
  bool sawExit = false;
  std::string problem;       // plain-words description of damage, empty when none
};

// Reads "obs.wad" into the store. Every slot of an entry is cleared at "[START]".
// Missing file: entry 0 becomes "end" (the main program's loader marks entry 6000
// itself). A file without "[EXIT]" gets "end" after the last entry read.
LoadResult LoadStore(const FileSystem& fs, ObservationStore& store);
// Parses store bytes directly (used by LoadStore and the fuzz target).
LoadResult ParseStore(std::string_view bytes, ObservationStore& store);

// Store file text for the given cutoff (entries whose slot 0 is older are left out).
std::string FormatStore(const ObservationStore& store, std::int32_t cutoff);
// Writes "temp.wad" and renames it over "obs.wad" in one step. False when either fails
// (the old "obs.wad" is then untouched).
bool SaveStore(FileSystem& fs, const ObservationStore& store, std::int32_t cutoff);

// `MaxObAge` hours sanitized: values below 1 count as absent (48).
int EffectiveMaxObAge(double maxObAge);
// now - 60 x effective MaxObAge.
std::int32_t StoreCutoff(std::int32_t now, double maxObAge);

enum class StoreOutcome {
  kAddedNewStation,
  kAddedToSlots,
  kArchivedOnly,
  kDuplicate,
  kUnknownStation,
  kTooOld,
  kStoreFull,
  kFileError,   // an archive or watch.zzz write failed
};

// Everything StoreReport needs beside the store itself.
struct StoreContext {
  FileSystem& fs;
  const StationTable& stations;                                 // for Whois
  std::function<std::string(std::string_view)> decode;          // DecodeReport
  std::int32_t cutoff = 0;
  std::function<void()> yield;                                  // optional, every 4096 entries searched
  // Asked after a failed archive or "watch.zzz" write, with the file's name: true
  // tries that write again, false gives up (StoreReport then returns kFileError).
  // Retrying the whole StoreReport would not do: by then the report sits in its
  // slot and would be dropped as a duplicate, its watch line never written.
  std::function<bool(const std::string& file)> retryWrite = {};
};

// Files one cleaned report (time in absolute minutes) into the store, its archive and
// "watch.zzz".
StoreOutcome StoreReport(StoreContext& context, ObservationStore& store,
                         const std::string& report, std::int32_t time);

// Appends slot `slot` of entry `index` to "watch.zzz".
bool AppendWatchRecord(FileSystem& fs, const ObservationStore& store, int index, int slot);

}  // namespace norvane
