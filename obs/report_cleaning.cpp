#include "obs/report_cleaning.h"

namespace norvane {

std::string CleanReport(std::string_view raw) {
  std::string cleaned;
  cleaned.reserve(raw.size() + 1);
  for (char c : raw) {
    const auto code = static_cast<unsigned char>(c);
    if (c == '"') {
      c = '\'';
    } else if (c == ',') {
      c = ';';
    } else if (code < 32) {
      c = ' ';
    }
    if (c == ' ' && !cleaned.empty() && cleaned.back() == ' ') continue;
    cleaned.push_back(c);
  }
  if (cleaned.empty() || cleaned.back() != ' ') cleaned.push_back(' ');
  return cleaned;
}

}  // namespace norvane
