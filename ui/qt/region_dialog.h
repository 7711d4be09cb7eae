#pragma once
#include <QDialog>
#include <QImage>
#include <QWidget>

#include "map/map_file.h"

namespace norvane {

class Dialogs;
class FileSystem;

// `picMap`: the world picture with the rubber band drawn over it.
class RegionPicture : public QWidget {
 public:
  RegionPicture(QImage world, RubberBand& band, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QImage world_;
  RubberBand& band_;
};

// `frmSelectRegion`: the user drags the region to cut out of "world.map"; "Make Map"
// writes "user.map". Accepted only when a new "user.map" was written.
class SelectRegionDialog : public QDialog {
 public:
  SelectRegionDialog(FileSystem& fs, Dialogs& dialogs, QWidget* parent);
  const RubberBand& Band() const { return band_; }

 private:
  void Make();
  FileSystem& fs_;
  Dialogs& dialogs_;
  RubberBand band_;
  RegionPicture* picture_;
};

}  // namespace norvane
