#pragma once
#include <cstdint>
#include <string>

namespace norvane {

// The checks of the special-download dialog, in their order. On success `stamp`
// holds the ten-character YYYYMMDDHH; otherwise `message` and the box to focus.
struct SpecialDownloadCheck {
  bool ok = false;
  std::string stamp;
  std::string message;
  enum class Box { None, Year, Month, Day, Hour } focus = Box::None;
};

SpecialDownloadCheck CheckSpecialDownload(const std::string& year, const std::string& month, const std::string& day,
                                          const std::string& hour, std::int32_t minuteClock);

}  // namespace norvane
