#include "watch/points_editor.h"

#include <algorithm>
#include <cmath>

#include "core/lenient_number.h"
#include "core/number_text.h"

namespace norvane {
namespace {

std::string Degrees(std::int16_t hundredths) { return TrimmedNumberText(hundredths / 100.0); }

}  // namespace

PointsEditor::PointsEditor(const FileSystem& fs, Dialogs& dialogs) : dialogs_(dialogs) {
  if (auto bytes = fs.ReadAll(kPointsFile)) {
    PointsRead read = ReadPoints(*bytes, kMaxPoints);
    points_ = std::move(read.points);
    if (read.skipped + read.ignored > 0) {
      dialogs_.MessageBox("'watch.dat' holds " + std::to_string(read.skipped + read.ignored) +
                              " points that cannot be edited (damaged, or beyond the " + std::to_string(kMaxPoints) +
                              " the list holds); Ok saves the list without them.",
                          "WARNING", BoxStyle::Information);
    }
  }
  FillRows();
}

int PointsEditor::ScrollMax() const { return std::max(0, PointCount() - kEditorRows); }

void PointsEditor::FillRows() {
  for (int row = 0; row < kEditorRows; ++row) {
    EditorRow& r = rows_[Index(row)];
    const int index = scroll_ + row;
    r = EditorRow{};
    if (index >= PointCount()) continue;
    const PointOfInterest& p = points_[static_cast<std::size_t>(index)];
    r.name = p.name;
    r.latitude = Degrees(p.latitude);
    r.longitude = Degrees(p.longitude);
    r.enabled = true;
  }
}

void PointsEditor::Highlight(std::optional<int> row) {
  for (EditorRow& r : rows_) {
    r.background = kRowBackground;
    r.text = kRowText;
  }
  if (row && *row >= 0 && *row < kEditorRows) {
    rows_[Index(*row)].background = kCurrentRowBackground;
    rows_[Index(*row)].text = kCurrentRowText;
  }
}

void PointsEditor::SelectRow(int row) {
  if (row < 0 || row >= kEditorRows || scroll_ + row >= PointCount()) return;
  current_ = scroll_ + row;
  focusRow_ = row;
  Highlight(row);
}

bool PointsEditor::StoreRow(int row) {
  if (row < 0 || row >= kEditorRows || scroll_ + row >= PointCount()) return true;
  const EditorRow& r = rows_[Index(row)];
  const double latitude = LenientNumber(r.latitude);
  const double longitude = LenientNumber(r.longitude);
  const char* problem = nullptr;
  if (!(std::fabs(latitude) <= 90)) problem = "Latitude values must be between -90 and 90.";
  else if (!(std::fabs(longitude) <= 180)) problem = "Longitude values must be between -180 and 180.";
  if (problem) {
    dialogs_.MessageBox(problem, "ERROR", BoxStyle::Exclamation);
    focusRow_ = row;
    return false;
  }
  PointOfInterest& p = points_[static_cast<std::size_t>(scroll_ + row)];
  p.name = CleanPointName(r.name);
  p.latitude = static_cast<std::int16_t>(RoundHalfEven(latitude * 100));
  p.longitude = static_cast<std::int16_t>(RoundHalfEven(longitude * 100));
  return true;
}

bool PointsEditor::LeaveCoordinate(int row) { return StoreRow(row); }

bool PointsEditor::StoreCurrentRow() {
  if (!current_) return true;
  const int row = *current_ - scroll_;
  return StoreRow(row);
}

bool PointsEditor::Scroll(int value) {
  if (!StoreCurrentRow()) return false;
  scroll_ = std::clamp(value, 0, ScrollMax());
  FillRows();
  current_.reset();
  focusRow_.reset();
  return true;
}

bool PointsEditor::Add() {
  if (!StoreCurrentRow()) return false;
  if (PointCount() >= kMaxPoints) {
    dialogs_.MessageBox("No more points can be added: the list holds at most " + std::to_string(kMaxPoints) + ".",
                        "ERROR", BoxStyle::Exclamation);
    return false;
  }
  points_.push_back(PointOfInterest{});
  current_.reset();
  Scroll(ScrollMax());
  SelectRow(PointCount() - 1 - scroll_);
  return true;
}

bool PointsEditor::Remove() {
  if (!current_) return false;
  if (dialogs_.MessageBox("Are you sure?", "QUESTION", BoxStyle::YesNoQuestion) != BoxAnswer::Yes) return false;
  points_.erase(points_.begin() + *current_);
  current_.reset();
  Scroll(std::min(scroll_, ScrollMax()));
  return true;
}

bool PointsEditor::Ok(FileSystem& fs) {
  if (!StoreCurrentRow()) return false;
  // Stable, as the neighbour-swapping sort it replaces: equal names keep their order.
  std::stable_sort(points_.begin(), points_.end(),
                   [](const PointOfInterest& a, const PointOfInterest& b) { return a.name < b.name; });
  current_.reset();
  FillRows();
  if (!SavePoints(fs, points_)) {
    dialogs_.MessageBox("Unable to write 'watch.dat'; the points of interest were not saved.", "ERROR",
                        BoxStyle::Critical);
    return false;
  }
  return true;
}

}  // namespace norvane
