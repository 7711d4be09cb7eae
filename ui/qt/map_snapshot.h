#pragma once
#include <QImage>

#include "platform/canvas.h"

namespace norvane {

// The map picture as plain pixels, for printing and picture export.
Image FromQImage(const QImage& picture);

}  // namespace norvane
