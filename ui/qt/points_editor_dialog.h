#pragma once
#include <QDialog>
#include <QLineEdit>
#include <QScrollBar>
#include <array>
#include <optional>

#include "watch/points_editor.h"

namespace norvane {

// `frmEditor`: the Points Editor over "watch.dat". Each row is `txtName<r>`, `txtLat<r>`
// and `txtLong<r>` (r from 0 to 14); `vscBar` scrolls the list. Every event goes to the
// `PointsEditor`, and the boxes show what it holds. Ok has written "watch.dat" when the
// dialog is accepted.
class PointsEditorDialog : public QDialog {
 public:
  PointsEditorDialog(FileSystem& fs, Dialogs& dialogs, QWidget* parent);
  const PointsEditor& Editor() const { return editor_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class Column { Name, Latitude, Longitude };
  struct RowBoxes {
    QLineEdit *name, *latitude, *longitude;
  };
  void Show();
  void Leave(int row, Column column);
  void ScrollTo(int value);
  void FocusFailedRow(std::optional<Column> left = std::nullopt);
  void DropFocus();
  void Add();
  void Remove();
  void Ok();

  FileSystem& fs_;
  PointsEditor editor_;
  std::array<RowBoxes, kEditorRows> boxes_{};
  QScrollBar* vscBar_;
  QLineEdit* lastBox_ = nullptr;  // the box that last held the focus
};

}  // namespace norvane
