#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace norvane {

// Record-style text files: fields separated by commas, texts in double quotes,
// numbers bare, Booleans #TRUE# / #FALSE#, each record ending CR LF.
// The reader takes fields one at a time regardless of line breaks.
class RecordReader {
 public:
  explicit RecordReader(std::string_view bytes) : bytes_(bytes) {}

  bool AtEnd();  // true when no further field follows (skips trailing blanks and line ends)
  // The next field as text: quotes removed from a quoted field, blanks trimmed
  // from a bare one. Nothing at the end of the input.
  std::optional<std::string> NextText();
  // The next field read leniently as a number (0 when it holds none).
  std::optional<double> NextNumber();
  // The next field as a Boolean: #TRUE#, or a nonzero number, is true.
  std::optional<bool> NextBool();
  // True when the last field read ended its line (or the input).
  bool LastEndedLine() const { return lastEndedLine_; }
  std::size_t Offset() const { return pos_; }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
  bool lastEndedLine_ = false;
};

// Builds record-style text. Report texts are cleaned of quotes and commas before
// they get here; a quote inside a text is dropped so that the file stays readable.
class RecordWriter {
 public:
  RecordWriter& Text(std::string_view text);
  RecordWriter& Number(double value);   // plain decimal, as FormatPlainNumber
  RecordWriter& Integer(long long value);
  RecordWriter& Bool(bool value);
  RecordWriter& Bare(std::string_view text);  // a number already formatted
  RecordWriter& EndRecord();            // CR LF
  const std::string& str() const { return out_; }
  std::string Take() { return std::move(out_); }

 private:
  void Separator();
  std::string out_;
  bool fieldOnLine_ = false;
};

}  // namespace norvane
