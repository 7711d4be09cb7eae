#pragma once
#include <QDialog>
#include <QLineEdit>
#include <array>

#include "map/zoom_slots.h"

namespace norvane {

class Dialogs;

// `frmZoom`: the eight zoom slots, one row each (`txtZoomName0`, `txtCenterLat0`, ...,
// `cmdUseCurrent0` for slot 0). Ok stores every slot in the settings when the checks of
// `AcceptZoomEditor` pass; renaming the menu items and saving are the caller's.
class ZoomEditorDialog : public QDialog {
 public:
  ZoomEditorDialog(Settings& settings, Dialogs& dialogs, QWidget* parent);

 private:
  struct RowBoxes {
    QLineEdit *name, *latitude, *longitude, *factor;
  };
  void Take();  // the boxes as typed into `rows_`
  void Show();  // `rows_` into the boxes
  void UseCurrent(int k);
  void Ok();

  Settings& settings_;
  Dialogs& dialogs_;
  ZoomEditorRows rows_;
  std::array<RowBoxes, kZoomSlots> boxes_{};
};

}  // namespace norvane
