// Any bytes as "norvane.ini" and "zooms.ini": the readers keep defaults and never fail.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  norvane::Settings s = norvane::DefaultSettings();
  norvane::ReadSettingsText(text, s);
  norvane::ReadZoomsText(text, s);
  (void)norvane::ReadOneKey(text, "[MAX OB AGE]");
  (void)norvane::WriteSettingsText(s);
  return 0;
}
