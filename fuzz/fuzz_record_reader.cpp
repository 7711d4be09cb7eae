// Any bytes through the record reader, field by field in every form.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/record_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  norvane::RecordReader reader(bytes);
  for (int n = 0; !reader.AtEnd(); ++n) {
    const std::size_t before = reader.Offset();
    switch (n % 3) {
      case 0: (void)reader.NextText(); break;
      case 1: (void)reader.NextNumber(); break;
      default: (void)reader.NextBool(); break;
    }
    (void)reader.LastEndedLine();
    if (reader.Offset() == before) __builtin_trap();  // a reader that stops advancing would hang its callers
  }
  return 0;
}
