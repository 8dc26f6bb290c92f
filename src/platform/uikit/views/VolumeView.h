#pragma once

// uikit::VolumeView: the system's volume control, a view holding a VolumeSlider (its first subview) and,
// when shown, a button that picks the audio route. Moving its slider changes the system volume. A view that
// is never put on screen still reads and sets the volume through its slider.
//
// Thread-safety: main thread only, like every class of uikit.

#include "platform/uikit/views/View.h"

namespace uikit {

class VolumeView : public View {
 public:
  explicit VolumeView(Rect frame = {});

  bool showsRouteButton() const { return showsRouteButton_; }
  // The stand-in has no audio routes; the flag is kept for the screens that set it.
  void setShowsRouteButton(bool shows) { showsRouteButton_ = shows; }

 private:
  bool showsRouteButton_ = true;
};

}  // namespace uikit
