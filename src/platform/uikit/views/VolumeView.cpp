#include "platform/uikit/views/VolumeView.h"

#include <memory>

#include "platform/uikit/controls/VolumeSlider.h"

namespace uikit {

VolumeView::VolumeView(Rect frame) : View(frame) {
  addSubview(std::make_shared<VolumeSlider>(Rect(0, 0, frame.width(), frame.height())));
}

}  // namespace uikit
