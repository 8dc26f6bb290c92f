#include "app/helpers/HMExtention.h"

#include "platform/foundation/check/Check.h"

namespace app {

void HMExtention::setX(uikit::View& view, double x) {
  QM_DCHECK_MAIN_THREAD();
  uikit::Rect frame = view.frame();
  frame.origin.x = x;
  view.setFrame(frame);
}

void HMExtention::setY(uikit::View& view, double y) {
  QM_DCHECK_MAIN_THREAD();
  uikit::Rect frame = view.frame();
  frame.origin.y = y;
  view.setFrame(frame);
}

void HMExtention::setWidth(uikit::View& view, double width) {
  QM_DCHECK_MAIN_THREAD();
  uikit::Rect frame = view.frame();
  frame.size.width = width;
  view.setFrame(frame);
}

void HMExtention::setHeight(uikit::View& view, double height) {
  QM_DCHECK_MAIN_THREAD();
  uikit::Rect frame = view.frame();
  frame.size.height = height;
  view.setFrame(frame);
}

void HMExtention::setSize(uikit::View& view, uikit::Size size) {
  QM_DCHECK_MAIN_THREAD();
  view.setFrame(uikit::Rect(view.frame().origin, size));
}

void HMExtention::setOrigin(uikit::View& view, uikit::Point origin) {
  QM_DCHECK_MAIN_THREAD();
  view.setFrame(uikit::Rect(origin, view.frame().size));
}

void HMExtention::setCenterX(uikit::View& view, double centerX) {
  QM_DCHECK_MAIN_THREAD();
  uikit::Point center = view.center();
  center.x = centerX;
  view.setCenter(center);
}

void HMExtention::setCenterY(uikit::View& view, double centerY) {
  QM_DCHECK_MAIN_THREAD();
  uikit::Point center = view.center();
  center.y = centerY;
  view.setCenter(center);
}

}  // namespace app
