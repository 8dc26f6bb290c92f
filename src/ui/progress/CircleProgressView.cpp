#include "ui/progress/CircleProgressView.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/render/ScreenText.h"
#include "platform/uikit/support/NumberText.h"

namespace ui {

CircleProgressView::CircleProgressView(uikit::Rect frame) : uikit::View(frame) {}

void CircleProgressView::setProgress(double progress) {
  QM_DCHECK_MAIN_THREAD();
  progress_ = progress;
  setNeedsDisplay();
}

void CircleProgressView::renderInto(uikit::ScreenText& text) const {
  text.addLine(uikit::ScreenText::Section::kProgress, "progress", *this, uikit::percentText(progress_));
  uikit::View::renderInto(text);
}

}  // namespace ui
