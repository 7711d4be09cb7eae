#include "core/record_file.h"

#include "core/lenient_number.h"
#include "core/number_text.h"

namespace norvane {

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
}  // namespace

bool RecordReader::AtEnd() {
  while (pos_ < bytes_.size() && (IsBlank(bytes_[pos_]) || IsLineEnd(bytes_[pos_]) || bytes_[pos_] == '\0'))
    ++pos_;
  return pos_ >= bytes_.size();
}

std::optional<std::string> RecordReader::NextText() {
  if (AtEnd()) return std::nullopt;
  std::string field;
  if (bytes_[pos_] == '"') {
    ++pos_;
    while (pos_ < bytes_.size() && bytes_[pos_] != '"') field.push_back(bytes_[pos_++]);
    if (pos_ < bytes_.size()) ++pos_;  // closing quote
    while (pos_ < bytes_.size() && IsBlank(bytes_[pos_])) ++pos_;
  } else {
    while (pos_ < bytes_.size() && bytes_[pos_] != ',' && !IsLineEnd(bytes_[pos_])) field.push_back(bytes_[pos_++]);
    field = TrimBlanks(field);
  }
  // The field ends at a comma or at the end of its line.
  lastEndedLine_ = true;
  if (pos_ < bytes_.size() && bytes_[pos_] == ',') {
    ++pos_;
    lastEndedLine_ = false;
  } else {
    // Skip anything after a closing quote up to the separator.
    while (pos_ < bytes_.size() && bytes_[pos_] != ',' && !IsLineEnd(bytes_[pos_])) ++pos_;
    if (pos_ < bytes_.size() && bytes_[pos_] == ',') { ++pos_; lastEndedLine_ = false; }
  }
  return field;
}

std::optional<double> RecordReader::NextNumber() {
  auto t = NextText();
  if (!t) return std::nullopt;
  return LenientNumber(*t);
}

std::optional<bool> RecordReader::NextBool() {
  auto t = NextText();
  if (!t) return std::nullopt;
  std::string u = ToUpper(*t);
  if (u == "#TRUE#" || u == "TRUE") return true;
  if (u == "#FALSE#" || u == "FALSE") return false;
  return LenientNumber(u) != 0;
}

void RecordWriter::Separator() {
  if (fieldOnLine_) out_.push_back(',');
  fieldOnLine_ = true;
}

RecordWriter& RecordWriter::Text(std::string_view text) {
  Separator();
  out_.push_back('"');
  for (char c : text)
    if (c != '"') out_.push_back(c);
  out_.push_back('"');
  return *this;
}

RecordWriter& RecordWriter::Number(double value) {
  Separator();
  out_ += TrimmedNumberText(value);
  return *this;
}

RecordWriter& RecordWriter::Integer(long long value) {
  Separator();
  out_ += std::to_string(value);
  return *this;
}

RecordWriter& RecordWriter::Bare(std::string_view text) {
  Separator();
  out_ += text;
  return *this;
}

RecordWriter& RecordWriter::Bool(bool value) {
  Separator();
  out_ += value ? "#TRUE#" : "#FALSE#";
  return *this;
}

RecordWriter& RecordWriter::EndRecord() {
  out_ += "\r\n";
  fieldOnLine_ = false;
  return *this;
}

}  // namespace norvane
