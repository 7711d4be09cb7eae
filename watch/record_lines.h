#pragma once
// Line-wise reading of the watch's record files: a damaged record costs that line only,
// never the alignment of the records after it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/record_file.h"

namespace norvane {

struct RecordLine {
  std::vector<std::string> fields;
  bool terminated = false;  // false when the input ended before the line's end
};

// The fields of the next record line; nothing at the end of the input.
std::optional<RecordLine> NextRecordLine(RecordReader& reader, std::string_view bytes);

// A number field within [low, high]; nothing for garbage, a fraction when `whole`, or
// a value out of range (so nothing wraps into a narrower integer).
std::optional<long long> NumberField(const std::string& text, long long low, long long high, bool whole);

}  // namespace norvane
