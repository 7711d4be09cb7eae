#include "obs/observation_store.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "core/record_file.h"
#include "core/replace_file.h"
#include "obs/station_tables.h"

namespace norvane {
namespace {

// Parses a bare integer field wide; nothing when it is not a whole number in range.
std::optional<long long> WholeNumber(const std::optional<std::string>& text, long long low,
                                     long long high) {
  if (!text) return std::nullopt;
  std::string_view s = *text;
  long long value = 0;
  auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || ptr != s.data() + s.size() || s.empty()) {
    // Accept a plain decimal with a fraction of zeros only in the lenient sense: reject.
    return std::nullopt;
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

constexpr long long kMinTime = std::numeric_limits<std::int32_t>::min();
constexpr long long kMaxTime = std::numeric_limits<std::int32_t>::max();

// Reads the three items of a slot line; nothing when the input ends or the time is bad.
std::optional<ObservationRecord> ReadSlot(RecordReader& reader) {
  auto report = reader.NextText();
  auto decoded = reader.NextText();
  auto time = WholeNumber(reader.NextText(), kMinTime, kMaxTime);
  if (!report || !decoded || !time) return std::nullopt;
  return ObservationRecord{static_cast<std::int32_t>(*time), std::move(*report), std::move(*decoded)};
}

StationArchive ParseArchive(std::string_view bytes) {
  StationArchive archive;
  RecordReader reader(bytes);
  while (!reader.AtEnd()) {
    auto slot = ReadSlot(reader);
    if (!slot) break;
    archive.push_back(std::move(*slot));
  }
  return archive;
}

void WriteSlot(RecordWriter& writer, const ObservationRecord& record) {
  writer.Text(record.report).Text(record.decoded).Integer(record.time).EndRecord();
}

// Rewrites an archive with `record` inserted at its time position, dropping lines older
// than the cutoff. A report text the archive already holds is not inserted again.
StationArchive MergeIntoArchive(const StationArchive& old, const ObservationRecord& record,
                                std::int32_t cutoff) {
  StationArchive merged;
  merged.reserve(old.size() + 1);
  bool written = false;
  for (const ObservationRecord& line : old) {
    if (line.time < cutoff) break;
    if (!written && line.time <= record.time) {
      merged.push_back(record);
      written = true;
    }
    merged.push_back(line);
  }
  if (!written) merged.push_back(record);
  return merged;
}

bool ArchiveHolds(const StationArchive& archive, std::string_view report) {
  for (const ObservationRecord& line : archive) {
    if (line.report == report) return true;
  }
  return false;
}

// Puts `record` into the station's archive; false when the file could not be written.
bool FileIntoArchive(FileSystem& fs, std::string_view identifier, const StationArchive& archive,
                     bool exists, const ObservationRecord& record, std::int32_t cutoff) {
  const std::string name = ArchiveFileName(identifier);
  if (exists && ArchiveHolds(archive, record.report)) return true;  // filed by an aborted run
  StationArchive merged = exists ? MergeIntoArchive(archive, record, cutoff) : StationArchive{record};
  return ReplaceFile(fs, name, FormatArchive(merged), kArchiveTwin);
}

}  // namespace

int ObservationStore::EndIndex() const {
  for (int i = 0; i <= kStoreLastIndex; ++i) {
    if ((*this)[i].identifier == kEndIdentifier) return i;
  }
  return kStoreEntries;
}

int ObservationStore::Find(std::string_view identifier) const {
  for (int i = 0; i <= kStoreLastIndex; ++i) {
    const std::string& id = (*this)[i].identifier;
    if (id == kEndIdentifier) return -1;
    if (id == identifier) return i;
  }
  return -1;
}

void ObservationStore::Clear() {
  for (StationObservations& entry : entries_) entry = StationObservations{};
  entries_[0].identifier = kEndIdentifier;
}

std::string ArchiveFileName(std::string_view identifier) {
  return std::string(kArchiveFolder) + "/" + std::string(identifier) + ".obs";
}

StationArchive ReadArchive(const FileSystem& fs, std::string_view identifier) {
  auto bytes = fs.ReadAll(ArchiveFileName(identifier));
  return bytes ? ParseArchive(*bytes) : StationArchive{};
}

std::string FormatArchive(const StationArchive& archive) {
  RecordWriter writer;
  for (const ObservationRecord& line : archive) WriteSlot(writer, line);
  return writer.Take();
}

std::string FormatWatchRecord(const WatchRecord& record) {
  RecordWriter writer;
  writer.Integer(record.latitude).Integer(record.longitude).Text(record.report)
      .Text(record.decoded).Integer(record.time).EndRecord();
  return writer.Take();
}

std::vector<WatchRecord> ReadWatchRecords(std::string_view bytes) {
  std::vector<WatchRecord> records;
  RecordReader reader(bytes);
  while (!reader.AtEnd()) {
    auto lat = WholeNumber(reader.NextText(), -9000, 9000);
    auto lon = WholeNumber(reader.NextText(), -18000, 18000);
    auto slot = ReadSlot(reader);
    if (!slot) break;
    if (!lat || !lon) continue;
    records.push_back(WatchRecord{static_cast<std::int16_t>(*lat), static_cast<std::int16_t>(*lon),
                                  std::move(slot->report), std::move(slot->decoded), slot->time});
  }
  return records;
}

LoadResult ParseStore(std::string_view bytes, ObservationStore& store) {
  LoadResult result;
  result.fileFound = true;
  RecordReader reader(bytes);
  int i = 0;
  int badBlocks = 0;
  while (true) {
    auto item = reader.NextText();
    if (!item) break;
    if (*item == "[EXIT]") {
      store[i].identifier = kEndIdentifier;
      result.sawExit = true;
      break;
    }
    if (*item != "[START]") continue;
    StationObservations& entry = store[i];
    entry.ClearSlots();
    auto id = reader.NextText();
    auto lat = WholeNumber(reader.NextText(), -9000, 9000);
    auto lon = WholeNumber(reader.NextText(), -18000, 18000);
    if (!id) break;
    bool exited = false;
    for (int k = 0; k < kStationSlots; ++k) {
      auto tag = reader.NextText();
      if (!tag || *tag == "[END]") break;
      if (*tag == "[EXIT]") { exited = true; break; }
      if (*tag == "[DATA]") {
        auto slot = ReadSlot(reader);
        if (!slot) break;
        entry.reports[static_cast<std::size_t>(k)] = std::move(*slot);
      }
    }
    if (exited) {
      entry = StationObservations{};
      entry.identifier = kEndIdentifier;
      result.sawExit = true;
      break;
    }
    if (!lat || !lon || id->empty() || *id == kEndIdentifier) {
      // Out-of-range position or unusable identifier: drop the block, never wrap.
      entry = StationObservations{};
      ++badBlocks;
      continue;
    }
    entry.identifier = std::move(*id);
    entry.latitude = static_cast<std::int16_t>(*lat);
    entry.longitude = static_cast<std::int16_t>(*lon);
    ++i;
    if (i > kStoreLastIndex) break;
  }
  result.stations = i;
  if (!result.sawExit && i <= kStoreLastIndex) {
    // The file ended early: mark the entry after the last one read.
    store[i] = StationObservations{};
    store[i].identifier = kEndIdentifier;
    if (i < kStoreLastIndex || !reader.AtEnd()) result.problem = "The observation store ended early; " +
        std::to_string(i) + " stations were read.";
  } else if (!result.sawExit && i > kStoreLastIndex && !reader.AtEnd()) {
    result.problem = "The observation store holds more than 6001 stations; the rest were ignored.";
  }
  if (badBlocks > 0 && result.problem.empty()) {
    result.problem = "The observation store held " + std::to_string(badBlocks) +
                     " damaged station blocks, which were skipped.";
  }
  return result;
}

LoadResult LoadStore(const FileSystem& fs, ObservationStore& store) {
  auto bytes = fs.ReadAll(kStoreFile);
  if (!bytes) {
    store[0].identifier = kEndIdentifier;
    return LoadResult{};
  }
  return ParseStore(*bytes, store);
}

std::string FormatStore(const ObservationStore& store, std::int32_t cutoff) {
  RecordWriter writer;
  for (int i = 0; i <= kStoreLastIndex; ++i) {
    const StationObservations& entry = store[i];
    if (entry.identifier.empty() || entry.identifier == kEndIdentifier) {
      writer.Text("[EXIT]").EndRecord();
      break;
    }
    if (entry.reports[0].time < cutoff) continue;
    writer.Text("[START]").EndRecord();
    writer.Text(entry.identifier).Integer(entry.latitude).Integer(entry.longitude).EndRecord();
    for (const ObservationRecord& slot : entry.reports) {
      if (slot.Empty()) continue;
      writer.Text("[DATA]").EndRecord();
      WriteSlot(writer, slot);
    }
    writer.Text("[END]").EndRecord();
  }
  return writer.Take();
}

bool SaveStore(FileSystem& fs, const ObservationStore& store, std::int32_t cutoff) {
  return ReplaceFile(fs, kStoreFile, FormatStore(store, cutoff), kStoreTwin);
}

int EffectiveMaxObAge(double maxObAge) {
  if (!(maxObAge >= 1) || maxObAge > 1e6) return kDefaultMaxObAge;
  return static_cast<int>(maxObAge);
}

std::int32_t StoreCutoff(std::int32_t now, double maxObAge) {
  return static_cast<std::int32_t>(static_cast<long long>(now) - 60LL * EffectiveMaxObAge(maxObAge));
}

bool AppendWatchRecord(FileSystem& fs, const ObservationStore& store, int index, int slot) {
  const StationObservations& entry = store[index];
  const ObservationRecord& record = entry.reports[static_cast<std::size_t>(slot)];
  return fs.Append(kWatchFile, FormatWatchRecord(WatchRecord{entry.latitude, entry.longitude,
                                                             record.report, record.decoded, record.time}));
}

constexpr int kEntriesPerYield = 4096;

template <typename Write>
bool WriteWithRetry(StoreContext& context, const std::string& file, Write&& write) {
  while (!write()) {
    if (!context.retryWrite || !context.retryWrite(file)) return false;
  }
  return true;
}

StoreOutcome StoreReport(StoreContext& context, ObservationStore& store, const std::string& report,
                         std::int32_t time) {
  FileSystem& fs = context.fs;
  if (!fs.Exists(kArchiveFolder)) fs.CreateFolder(kArchiveFolder);
  const std::string id = report.substr(0, 4);
  for (int i = 0; i <= kStoreLastIndex; ++i) {
    // The search may pass thousands of entries per report; one yield per 4096 keeps the
    // window answering without a pass of the event loop for every entry.
    if (context.yield && i % kEntriesPerYield == 0) context.yield();
    StationObservations& entry = store[i];
    if (entry.identifier == kEndIdentifier) {
      if (!Whois(fs, context.stations, id, store, i)) {
        entry.identifier = kEndIdentifier;
        return StoreOutcome::kUnknownStation;
      }
      if (i < kStoreLastIndex) store[i + 1].identifier = kEndIdentifier;
      entry.ClearSlots();  // a reused entry must not keep an older station's reports
      entry.reports[0] = ObservationRecord{time, report, context.decode(report)};
      return WriteWithRetry(context, kWatchFile, [&] { return AppendWatchRecord(fs, store, i, 0); })
                 ? StoreOutcome::kAddedNewStation
                 : StoreOutcome::kFileError;
    }
    if (entry.identifier != id) continue;

    for (const ObservationRecord& slot : entry.reports) {
      if (slot.report == report) return StoreOutcome::kDuplicate;
    }
    // One read answers whether the archive exists as well.
    const auto archiveBytes = fs.ReadAll(ArchiveFileName(id));
    const bool archiveExists = archiveBytes.has_value();
    const StationArchive archive = archiveExists ? ParseArchive(*archiveBytes) : StationArchive{};
    if (ArchiveHolds(archive, report)) return StoreOutcome::kDuplicate;

    int k = 0;
    while (k < kStationSlots && entry.reports[static_cast<std::size_t>(k)].time > time) ++k;
    if (k < kStationSlots) {
      const ObservationRecord& last = entry.reports[kStationSlots - 1];
      if (!last.Empty() && last.time >= context.cutoff) {
        if (!WriteWithRetry(context, ArchiveFileName(id), [&] {
              return FileIntoArchive(fs, id, archive, archiveExists, last, context.cutoff);
            })) {
          return StoreOutcome::kFileError;
        }
      }
      for (int s = kStationSlots - 1; s > k; --s) {
        entry.reports[static_cast<std::size_t>(s)] = std::move(entry.reports[static_cast<std::size_t>(s - 1)]);
      }
      entry.reports[static_cast<std::size_t>(k)] = ObservationRecord{time, report, context.decode(report)};
      return WriteWithRetry(context, kWatchFile, [&] { return AppendWatchRecord(fs, store, i, k); })
                 ? StoreOutcome::kAddedToSlots
                 : StoreOutcome::kFileError;
    }
    if (time < context.cutoff) return StoreOutcome::kTooOld;
    ObservationRecord record{time, report, context.decode(report)};
    return WriteWithRetry(context, ArchiveFileName(id),
                          [&] { return FileIntoArchive(fs, id, archive, archiveExists, record, context.cutoff); })
               ? StoreOutcome::kArchivedOnly
               : StoreOutcome::kFileError;
  }
  return StoreOutcome::kStoreFull;
}

}  // namespace norvane
