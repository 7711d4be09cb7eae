// Any bytes, cleaned or not, decode to exactly 63 columns without reading outside them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "obs/decoded_observation.h"
#include "obs/report_cleaning.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view raw(reinterpret_cast<const char*>(data), size);
  if (norvane::DecodeReport(raw).size() != static_cast<std::size_t>(norvane::kDecodedColumns)) std::abort();
  const std::string cleaned = norvane::CleanReport(raw);
  const norvane::DecodedObservation decoded = norvane::DecodeReport(cleaned);
  if (decoded.size() != static_cast<std::size_t>(norvane::kDecodedColumns)) std::abort();
  for (int c = 1; c <= norvane::kDecodedColumns; ++c) {
    if (norvane::DecodedColumn(decoded, c) == '\0') std::abort();
  }
  return 0;
}
