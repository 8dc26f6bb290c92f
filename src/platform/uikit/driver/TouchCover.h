#pragma once

// uikit::touchCover(): what a finger meets first when it comes down on the middle of a view, found as the
// screen finds the view a touch goes to: the front-most view that contains the point and takes touches
// (shown, with interaction on, and inside every view it lies in). The view is covered when that view lies in
// a layer of the window in front of the view's (the full-screen player, a panel, a loading indicator put on
// the window over the screen) and is neither inside it nor one of the views it lies in.
//
// Thread-safety: main thread only, like every class of uikit.

#include "platform/uikit/views/View.h"

namespace uikit {

// Returns what covers the middle of `view`: the window's subview holding the view the touch meets (the
// whole player, a whole panel), or nullptr when nothing in front of `view` takes
// the touch (a touch that lands nowhere is left to the caller). Non-owning; valid while the tree stands.
const View* touchCover(const View& view);

}  // namespace uikit
