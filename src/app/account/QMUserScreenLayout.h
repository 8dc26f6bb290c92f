#pragma once

// QMUserScreenLayout: lays out the plain screens of the coin account as their storyboard scenes do: lines
// down a white view below the navigation bar, each a value label, alone (a title line) or after a caption.
// A screen adds its lines in order and then takes the view.
//
// Thread-safety: main thread only.

#include <memory>
#include <string>

#include "platform/uikit/views/Label.h"
#include "platform/uikit/views/View.h"

namespace app {

class QMUserScreenLayout {
 public:
  // Starts a white view the size of the main screen.
  QMUserScreenLayout();

  // Adds a line of one value label, its outlet named `outletName`, and returns the label.
  std::shared_ptr<uikit::Label> addTitleLine(const std::string& outletName);
  // Adds a line of the caption `caption` and a value label named `outletName`, and returns the label.
  std::shared_ptr<uikit::Label> addCaptionedLine(const std::string& caption, const std::string& outletName);
  // The view with its lines. REQUIRES: called once, last.
  std::shared_ptr<uikit::View> takeView() { return std::move(view_); }

 private:
  std::shared_ptr<uikit::View> view_;
  double nextLineY_;
};

}  // namespace app
