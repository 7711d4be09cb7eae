#pragma once
// The Points Editor (`frmEditor`) without its window: fifteen rows of name, latitude and
// longitude boxes over the point list, the scroll bar, the current point, the checks
// and their message boxes. The window forwards its events here and shows the rows.
#include <array>
#include <optional>
#include <string>

#include "platform/color.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "watch/points_of_interest.h"

namespace norvane {

constexpr int kEditorRows = 15;

inline constexpr Color kRowBackground = Rgb(255, 255, 255);
inline constexpr Color kRowText = Rgb(128, 128, 200);
inline constexpr Color kCurrentRowBackground = Rgb(255, 255, 190);
inline constexpr Color kCurrentRowText = Rgb(0, 0, 0);

// One row of boxes (`txtName`, `txtLat`, `txtLong`); positions shown in degrees.
struct EditorRow {
  std::string name;
  std::string latitude;
  std::string longitude;
  bool enabled = false;
  Color background = kRowBackground;
  Color text = kRowText;
};

class PointsEditor {
 public:
  // Opening: reads "watch.dat" (at most kMaxPoints points) and shows the first rows.
  // Points that cannot be kept (damaged, or beyond the table) are announced in a box,
  // since Ok would save the list without them.
  PointsEditor(const FileSystem& fs, Dialogs& dialogs);

  // The boxes; the window writes what the user types into `name`, `latitude` and
  // `longitude` and shows the rest.
  EditorRow& Row(int row) { return rows_[Index(row)]; }
  const EditorRow& Row(int row) const { return rows_[Index(row)]; }

  // `vscBar`: shown when there are more than fifteen points.
  int ScrollValue() const { return scroll_; }
  int ScrollMax() const;
  bool ScrollShown() const { return PointCount() > kEditorRows; }

  const PointList& Points() const { return points_; }
  int PointCount() const { return static_cast<int>(points_.size()); }
  // The current point's index, if any.
  std::optional<int> CurrentPoint() const { return current_; }
  // The row that should hold the focus (after a failed check: the offending row).
  std::optional<int> FocusRow() const { return focusRow_; }

  // A box of `row` gained the focus: its point becomes current and is highlighted.
  void SelectRow(int row);
  // A latitude or longitude box of `row` lost the focus: checks both numbers and
  // stores the row. False (after the "ERROR" box) when a number is out of range.
  bool LeaveCoordinate(int row);
  // A name box lost the focus: stores the row's name and position in the same way.
  bool LeaveName(int row) { return LeaveCoordinate(row); }
  // The scroll bar moved to `value`: the current row is stored first (a failure keeps
  // the rows and the value as they were); afterwards no point is current.
  bool Scroll(int value);

  // `cmdAdd`: an empty point at the end, scrolled into view and current. Refused with
  // a box when the table is full.
  bool Add();
  // `cmdRemove`: asks "Are you sure?"; on Yes removes the current point. No point is
  // current afterwards.
  bool Remove();
  // `cmdOk`: stores the current row, sorts by name and replaces "watch.dat". True when
  // the dialog may close; a failure to write keeps it open (the old file stays).
  bool Ok(FileSystem& fs);
  // `cmdCancel` writes nothing; the caller closes and reloads the points.

 private:
  static std::size_t Index(int row) { return static_cast<std::size_t>(row); }
  bool StoreCurrentRow();
  bool StoreRow(int row);
  void FillRows();
  void Highlight(std::optional<int> row);

  Dialogs& dialogs_;
  PointList points_;
  std::array<EditorRow, kEditorRows> rows_{};
  int scroll_ = 0;
  std::optional<int> current_;
  std::optional<int> focusRow_;
};

}  // namespace norvane
