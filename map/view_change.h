#pragma once
// Moving the view: the zoom and pan buttons, the mouse wheel and a drag, the
// coordinates dialog, the position read-out under the mouse, and the sequence that
// follows every view change.
//
// A redraw lets events run while it paints (the redraw script and the layer scripts
// yield), so a zoom button can be pressed in the middle of one. To keep one picture in
// one view, a redraw paints from a `RedrawView`: a copy of the projection and of the
// projected outline taken when it starts. The change itself goes to the live view, and
// the main program paints once more when the running redraw ends.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/settings.h"
#include "map/projected_outline.h"
#include "map/projection.h"
#include "map/redraw.h"
#include "platform/dialogs.h"

namespace norvane {

// Zoom factor limits (ScreenDistance / 1000) and the ScreenDistance the buttons keep.
constexpr double kMinScreenDistance = 100;
constexpr double kMaxScreenDistance = 100000;

enum class ViewStep { ZoomIn, ZoomOut, Up, Down, Left, Right };

// The button of a step: "cmdZoom", "cmdUnzoom", "cmdUp", "cmdDown", "cmdLeft", "cmdRight".
std::optional<ViewStep> ButtonStep(std::string_view control);

// One press of a zoom or pan button on the view fields of `settings`.
void StepView(Settings& settings, ViewStep step);

// Turns wheel rotation (1/8 degree units, 120 per notch, positive away from the user)
// into whole notches; what is left over of a fine-grained wheel is kept in `carry`.
int WheelNotches(int angleDelta, int& carry);
// Each notch away from the user is one press of "+", each notch towards it one of "-".
void WheelZoom(Settings& settings, int notches);

// A drag on the map from one pixel to another: the point of the globe that was under
// the middle of the map moves with the pointer, so the new centre is the point now
// under (middle - drag). False, and no change, when that pixel is off the globe.
bool DragPan(Settings& settings, const MapProjection& view, WindowPoint from, WindowPoint to);

// The view one redraw paints: its own copy of the projection and the outline.
class RedrawView {
 public:
  RedrawView(const MapProjection& projection, const ProjectedOutline& outline)
      : projection_(projection), outline_(outline) {}
  RedrawView(const RedrawView&) = delete;  // the placer refers into this object
  RedrawView& operator=(const RedrawView&) = delete;

  const MapProjection& Projection() const { return projection_; }
  // Fills the view-dependent parts of a redraw host: updateScale, drawMap and place
  // all work on this copy. The view must outlive the host's use.
  void Bind(RedrawHost& host, Color mapForeColor);

 private:
  MapProjection projection_;
  ProjectedOutline outline_;
};

// The coordinates dialog ("frmCoordinates").
struct CoordinatesBoxes {
  std::string txtLat;
  std::string txtLong;
  std::string txtScale;
};
enum class CoordinatesFocus { None, txtLat, txtLong, txtScale };

CoordinatesBoxes OpenCoordinates(const Settings& settings);
// The zoom factor of a view (`ScreenDistance` / 1000) as a user would type it: at most
// three decimals, none that are zeros.
std::string ZoomFactorText(double screenDistance);
// `cmdOk`: checks the boxes in order; the first failure shows its "ERROR" box and
// returns the box to focus (the dialog stays open, nothing stored). On success the
// view fields are stored and None is returned. `ApplyViewChange` follows the dialog
// closing either way.
CoordinatesFocus AcceptCoordinates(const CoordinatesBoxes& boxes, Settings& settings, Dialogs& dialogs);

// `lblLatLong` for the pointer at a window pixel: "38.5N, 97.0W", or "No Lock...".
std::string PositionReadout(const MapProjection& view, double x, double y);

}  // namespace norvane
