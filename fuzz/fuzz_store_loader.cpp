// Any bytes as "obs.wad", an archive and "watch.zzz": the loaders keep what is valid
// and never fail, and every loaded store saves and reloads.
#include <cstddef>
#include <cstdint>
#include <string>

#include "obs/observation_store.h"
#include "tests/fakes/memory_file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  norvane::testing::MemoryFileSystem fs;
  fs.files["obs.wad"] = bytes;
  fs.files["obsfolder/KORD.obs"] = bytes;
  norvane::ObservationStore store;
  (void)norvane::LoadStore(fs, store);
  (void)norvane::ReadArchive(fs, "KORD");
  (void)norvane::ReadWatchRecords(bytes);
  (void)norvane::SaveStore(fs, store, 0);
  norvane::ObservationStore again;
  (void)norvane::LoadStore(fs, again);
  return 0;
}
