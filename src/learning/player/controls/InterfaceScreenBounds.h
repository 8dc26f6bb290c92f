#pragma once

// The main screen's bounds as the interface is turned. The stand-in's screen keeps its portrait bounds
// whatever the orientation, while the platform's follow the interface; the player's parts lay out (and split
// the screen in halves) the platform's way, so in a landscape interface the longer side is the width.
//
// Thread-safety: main thread only (it reads the application and the screen).

#include "platform/uikit/geometry/Geometry.h"

namespace learning {

// Returns the main screen's bounds, with width and height swapped while the interface is in landscape.
uikit::Rect interfaceScreenBounds();

}  // namespace learning
