#include "platform/uikit/views/ActivityIndicatorView.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/render/ScreenText.h"

namespace uikit {

ActivityIndicatorView::ActivityIndicatorView(ActivityIndicatorViewStyle style)
    : View(Rect(0, 0, style == ActivityIndicatorViewStyle::kWhiteLarge ? 37 : 20,
                style == ActivityIndicatorViewStyle::kWhiteLarge ? 37 : 20)),
      style_(style) {
  setHidden(true);
}

void ActivityIndicatorView::startAnimating() {
  QM_DCHECK_MAIN_THREAD();
  animating_ = true;
  setHidden(false);
}

void ActivityIndicatorView::stopAnimating() {
  QM_DCHECK_MAIN_THREAD();
  animating_ = false;
  if (hidesWhenStopped_) {
    setHidden(true);
  }
}

void ActivityIndicatorView::setHidesWhenStopped(bool hides) {
  QM_DCHECK_MAIN_THREAD();
  hidesWhenStopped_ = hides;
  setHidden(hides && !animating_);
}

void ActivityIndicatorView::renderInto(ScreenText& text) const {
  if (animating_) {
    text.addLine(ScreenText::Section::kProgress, "progress", *this, "spinning");
  }
  View::renderInto(text);
}

}  // namespace uikit
