#pragma once
// Safe 1-based windows over a report's working text for the decoder's rules.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "obs/decoded_observation.h"

namespace norvane::decoder {

// A few characters taken from the working text or composed from pieces of it.
struct Piece {
  char chars[16] = {};
  int size = 0;

  Piece& Add(char c) {
    if (size < static_cast<int>(sizeof(chars))) chars[size++] = c;
    return *this;
  }
  Piece& Add(const Piece& other) {
    for (int i = 0; i < other.size; ++i) Add(other.chars[i]);
    return *this;
  }
  Piece& Add(std::string_view text) {
    for (char c : text) Add(c);
    return *this;
  }
  std::string_view View() const { return {chars, static_cast<std::size_t>(size)}; }
};

// The working text P: the report followed by one more blank, never copied. Positions
// before 1 or past the end hold no character, so a window there is shorter or empty and
// a comparison with it fails.
class Working {
 public:
  // Positions are ints; a report is at most about a thousand characters (the cutter's
  // window), so anything beyond a megabyte is garbage and is not looked at.
  explicit Working(std::string_view report) : report_(report.substr(0, kLongestLooked)) {}

  int Length() const { return static_cast<int>(report_.size()) + 1; }

  // The character at k, or '\0' outside the text (no literal compared holds '\0').
  char Ch(int k) const {
    if (k < 1 || k > Length()) return '\0';
    if (k == Length()) return ' ';
    return report_[static_cast<std::size_t>(k - 1)];
  }

  // Whether the characters from k on are exactly `text`.
  bool Is(int k, std::string_view text) const {
    const int last = k + static_cast<int>(text.size()) - 1;
    if (k < 1 || last > Length()) return false;
    if (last < Length()) return report_.compare(static_cast<std::size_t>(k - 1), text.size(), text) == 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (Ch(k + static_cast<int>(i)) != text[i]) return false;
    }
    return true;
  }

  // The first position from `from` on where `text` starts, or 0 when there is none.
  int Find(std::string_view text, int from) const {
    if (from < 1) from = 1;
    if (from <= static_cast<int>(report_.size())) {
      const std::size_t at = report_.find(text, static_cast<std::size_t>(from - 1));
      if (at != std::string_view::npos) return static_cast<int>(at) + 1;
    }
    // The only other place is across the added blank at the end.
    const int tail = Length() - static_cast<int>(text.size()) + 1;
    return (tail >= from && Is(tail, text)) ? tail : 0;
  }

  // P(k, n): the characters of positions k..k+n-1 that lie inside the text.
  Piece At(int k, int n) const {
    Piece piece;
    for (int i = k; i < k + n; ++i) {
      if (i >= 1 && i <= Length()) piece.Add(Ch(i));
    }
    return piece;
  }

 private:
  static constexpr std::size_t kLongestLooked = std::size_t{1} << 20;
  std::string_view report_;
};

// The decoded text being built; writes past column 63 are dropped.
class Columns {
 public:
  explicit Columns(std::span<char, kDecodedColumns> out) : out_(out) {}

  void Write(int column, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      int c = column + static_cast<int>(i);
      if (c >= 1 && c <= kDecodedColumns) out_[static_cast<std::size_t>(c - 1)] = text[i];
    }
  }
  void Write(int column, const Piece& piece) { Write(column, piece.View()); }
  char Get(int column) const {
    return (column >= 1 && column <= kDecodedColumns) ? out_[static_cast<std::size_t>(column - 1)] : '\0';
  }

 private:
  std::span<char, kDecodedColumns> out_;
};

// The lenient value of a short piece (leading number, 0 when none), rounded half-even.
long long PieceValue(const Piece& piece);

// The rules of the decoder, in the order DecodeReport applies them.
void ApplyCavokRule(const Working& p, Columns& d);
// Returns the wind end E (the position after "KT "), or 0 when no wind group was found.
int ApplyWindRule(const Working& p, Columns& d);
void ApplyPeakWindRule(const Working& p, Columns& d);
// Returns the weather end W (0 when no sky group was found before the remarks).
int ApplySkyAndRemarksRules(const Working& p, int windEnd, Columns& d);
void ApplyWeatherRule(const Working& p, int windEnd, int weatherEnd, Columns& d);

// Pieces of the sky step, exposed for their own tests.
void ApplyLayerTemperatureRule(const Working& p, int g, Columns& d);
void ApplyRemarksScan(const Working& p, int g, Columns& d);
std::int16_t PeakWindOf(const Working& p);

}  // namespace norvane::decoder
