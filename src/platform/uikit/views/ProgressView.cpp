#include "platform/uikit/views/ProgressView.h"

#include <algorithm>

#include "platform/foundation/check/Check.h"
#include "platform/uikit/render/ScreenText.h"
#include "platform/uikit/support/NumberText.h"

namespace uikit {

ProgressView::ProgressView(Rect frame) : View(frame) {}

void ProgressView::setProgress(float progress, bool) {
  QM_DCHECK_MAIN_THREAD();
  progress_ = std::clamp(progress, 0.0f, 1.0f);
}

void ProgressView::renderInto(ScreenText& text) const {
  text.addLine(ScreenText::Section::kProgress, "progress", *this, percentText(progress_));
  View::renderInto(text);
}

}  // namespace uikit
