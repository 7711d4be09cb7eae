#include "watch/record_lines.h"

#include <charconv>
#include <cmath>

#include "core/lenient_number.h"
#include "core/number_text.h"

namespace norvane {

std::optional<RecordLine> NextRecordLine(RecordReader& reader, std::string_view bytes) {
  if (reader.AtEnd()) return std::nullopt;
  RecordLine line;
  while (auto field = reader.NextText()) {
    line.fields.push_back(std::move(*field));
    if (reader.LastEndedLine()) break;
  }
  line.terminated = reader.Offset() < bytes.size();
  return line;
}

std::optional<long long> NumberField(const std::string& text, long long low, long long high, bool whole) {
  const std::string s = TrimBlanks(text);
  double value = 0;
  const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (s.empty() || ec != std::errc() || ptr != s.data() + s.size() || !std::isfinite(value)) return std::nullopt;
  if (whole && value != std::floor(value)) return std::nullopt;
  if (value < static_cast<double>(low) || value > static_cast<double>(high)) return std::nullopt;
  return RoundHalfEven(value);
}

}  // namespace norvane
