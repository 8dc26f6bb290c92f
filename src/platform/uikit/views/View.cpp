#include "platform/uikit/views/View.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/app/Keyboard.h"
#include "platform/uikit/app/Window.h"
#include "platform/uikit/controllers/ViewController.h"
#include "platform/uikit/gestures/GestureRecognizer.h"

namespace uikit {
namespace {

// The process-wide first responder.
std::weak_ptr<View>& firstResponderSlot() {
  static std::weak_ptr<View> firstResponder;
  return firstResponder;
}

}  // namespace

View::View(Rect frame) : frame_(frame) {
  QM_DCHECK_MAIN_THREAD();
}

View::~View() {
  for (const auto& subview : subviews_) {
    subview->superview_ = nullptr;
  }
  for (const auto& recognizer : gestureRecognizers_) {
    recognizer->view_ = nullptr;
  }
}

void View::setFrame(Rect frame) {
  QM_DCHECK_MAIN_THREAD();
  const bool resized = frame.size != frame_.size;
  frame_ = frame;
  if (resized) {
    setNeedsLayout();
  }
}

void View::setBounds(Rect bounds) {
  QM_DCHECK_MAIN_THREAD();
  const Point keptCenter = center();
  const bool resized = bounds.size != frame_.size;
  boundsOrigin_ = bounds.origin;
  frame_.size = bounds.size;
  setCenter(keptCenter);
  if (resized) {
    setNeedsLayout();
  }
}

void View::setCenter(Point center) {
  QM_DCHECK_MAIN_THREAD();
  frame_.origin = Point{center.x - frame_.size.width / 2, center.y - frame_.size.height / 2};
}

Window* View::window() const {
  const View* view = this;
  while (view->superview_ != nullptr) {
    view = view->superview_;
  }
  return const_cast<Window*>(dynamic_cast<const Window*>(view));
}

void View::addSubview(std::shared_ptr<View> view) {
  QM_DCHECK_MAIN_THREAD();
  insertSubview(std::move(view), subviews_.size());
}

void View::insertSubviewAtIndex(std::shared_ptr<View> view, std::size_t index) {
  QM_DCHECK_MAIN_THREAD();
  insertSubview(std::move(view), index);
}

void View::insertSubviewAboveSubview(std::shared_ptr<View> view, const View& sibling) {
  QM_DCHECK_MAIN_THREAD();
  const auto index = indexOfSubview(sibling);
  insertSubview(std::move(view), index ? *index + 1 : subviews_.size());
}

void View::insertSubviewBelowSubview(std::shared_ptr<View> view, const View& sibling) {
  QM_DCHECK_MAIN_THREAD();
  const auto index = indexOfSubview(sibling);
  insertSubview(std::move(view), index ? *index : subviews_.size());
}

void View::bringSubviewToFront(const View& subview) {
  QM_DCHECK_MAIN_THREAD();
  if (auto view = detachSubview(subview)) {
    subviews_.push_back(std::move(view));
  }
}

void View::insertSubview(std::shared_ptr<View> view, std::size_t index) {
  if (view == nullptr) {
    return;
  }
  if (isDescendantOfView(*view)) {
    std::fprintf(stderr, "uikit: a view cannot be added inside itself\n");
    std::abort();
  }
  if (view->superview_ == this) {
    // Reordering only: no tree callbacks, as on the platform. The index counted the view itself.
    const std::size_t current = *indexOfSubview(*view);
    detachSubview(*view);
    placeSubview(std::move(view), current < index ? index - 1 : index);
    return;
  }
  const Window* oldWindow = view->window();
  view->willMoveToSuperview(this);
  if (view->superview_ != nullptr) {
    view->superview_->detachSubview(*view);
  }
  placeSubview(view, index);
  view->superview_ = this;
  view->didMoveToSuperview();
  if (view->window() != oldWindow) {
    view->propagateWindowChange();
  }
  setNeedsLayout();
}

void View::placeSubview(std::shared_ptr<View> view, std::size_t index) {
  subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(std::min(index, subviews_.size())),
                   std::move(view));
}

std::shared_ptr<View> View::detachSubview(const View& view) {
  const auto index = indexOfSubview(view);
  if (!index) {
    return nullptr;
  }
  std::shared_ptr<View> detached = subviews_[*index];
  subviews_.erase(subviews_.begin() + static_cast<std::ptrdiff_t>(*index));
  return detached;
}

std::optional<std::size_t> View::indexOfSubview(const View& subview) const {
  // From the front, where the latest views lie: taking many subviews out, the front-most first, then costs
  // what their number costs.
  for (std::size_t index = subviews_.size(); index > 0; --index) {
    if (subviews_[index - 1].get() == &subview) {
      return index - 1;
    }
  }
  return std::nullopt;
}

void View::removeFromSuperview() {
  QM_DCHECK_MAIN_THREAD();
  if (superview_ == nullptr) {
    return;
  }
  endEditing();
  const Window* oldWindow = window();
  willMoveToSuperview(nullptr);
  // Keeps this view alive until the callbacks below have run, even when its superview held the last
  // reference.
  std::shared_ptr<View> self = superview_->detachSubview(*this);
  superview_ = nullptr;
  didMoveToSuperview();
  if (oldWindow != nullptr) {
    propagateWindowChange();
  }
}

bool View::isDescendantOfView(const View& view) const {
  for (const View* ancestor = this; ancestor != nullptr; ancestor = ancestor->superview_) {
    if (ancestor == &view) {
      return true;
    }
  }
  return false;
}

Point View::convertPointToRoot(Point point) const {
  for (const View* view = this; view != nullptr; view = view->superview_) {
    point.x += view->frame_.origin.x - view->boundsOrigin_.x;
    point.y += view->frame_.origin.y - view->boundsOrigin_.y;
  }
  return point;
}

Point View::convertPointFromRoot(Point point) const {
  const Point origin = convertPointToRoot(Point{});
  return Point{point.x - origin.x, point.y - origin.y};
}

Point View::convertPointToView(Point point, const View* view) const {
  const Point inRoot = convertPointToRoot(point);
  return view == nullptr ? inRoot : view->convertPointFromRoot(inRoot);
}

Rect View::convertRectToView(Rect rect, const View* view) const {
  return Rect(convertPointToView(rect.origin, view), rect.size);
}

void View::setNeedsLayout() {
  QM_DCHECK_MAIN_THREAD();
  needsLayout_ = true;
  requestWindowUpdate();
}

void View::setNeedsDisplay() {
  QM_DCHECK_MAIN_THREAD();
  needsDisplay_ = true;
  requestWindowUpdate();
}

void View::requestWindowUpdate() {
  if (Window* owner = window()) {
    owner->scheduleUpdate();
  }
}

void View::layoutIfNeeded() {
  QM_DCHECK_MAIN_THREAD();
  if (needsLayout_) {
    needsLayout_ = false;
    runLayout();
  }
  const std::vector<std::shared_ptr<View>> subviews = subviews_;
  for (const auto& subview : subviews) {
    subview->layoutIfNeeded();
  }
}

void View::runLayout() {
  if (viewController_ != nullptr) {
    viewController_->viewWillLayoutSubviews();
  }
  layoutSubviews();
  if (viewController_ != nullptr) {
    viewController_->viewDidLayoutSubviews();
  }
}

void View::displayIfNeeded() {
  if (needsDisplay_) {
    needsDisplay_ = false;
    drawRect(bounds());
  }
  const std::vector<std::shared_ptr<View>> subviews = subviews_;
  for (const auto& subview : subviews) {
    subview->displayIfNeeded();
  }
}

void View::drawRect(Rect) {}

Size View::sizeThatFits(Size) const {
  return frame_.size;
}

void View::sizeToFit() {
  QM_DCHECK_MAIN_THREAD();
  setFrame(Rect(frame_.origin, sizeThatFits(frame_.size)));
}

void View::willMoveToSuperview(View*) {}

void View::propagateWindowChange() {
  didMoveToWindow();
  const std::vector<std::shared_ptr<View>> subviews = subviews_;
  for (const auto& subview : subviews) {
    subview->propagateWindowChange();
  }
  if (needsLayout_ || needsDisplay_) {
    requestWindowUpdate();
  }
}

void View::addGestureRecognizer(std::shared_ptr<GestureRecognizer> recognizer) {
  QM_DCHECK_MAIN_THREAD();
  if (recognizer == nullptr) {
    return;
  }
  if (recognizer->view_ != nullptr) {
    recognizer->view_->removeGestureRecognizer(*recognizer);
  }
  recognizer->view_ = this;
  gestureRecognizers_.push_back(std::move(recognizer));
}

void View::removeGestureRecognizer(const GestureRecognizer& recognizer) {
  QM_DCHECK_MAIN_THREAD();
  std::erase_if(gestureRecognizers_, [&](const std::shared_ptr<GestureRecognizer>& candidate) {
    if (candidate.get() != &recognizer) {
      return false;
    }
    candidate->view_ = nullptr;
    return true;
  });
}

bool View::becomeFirstResponder() {
  QM_DCHECK_MAIN_THREAD();
  if (isFirstResponder()) {
    return true;
  }
  if (!canBecomeFirstResponder()) {
    return false;
  }
  std::shared_ptr<View> previous = firstResponderSlot().lock();
  firstResponderSlot() = std::static_pointer_cast<View>(shared_from_this());
  if (previous != nullptr) {
    previous->didResignFirstResponder();
  }
  didBecomeFirstResponder();
  if (!Keyboard::isVisible()) {
    Keyboard::show();
  }
  return true;
}

bool View::resignFirstResponder() {
  QM_DCHECK_MAIN_THREAD();
  if (!isFirstResponder()) {
    return true;
  }
  firstResponderSlot().reset();
  didResignFirstResponder();
  if (Keyboard::isVisible()) {
    Keyboard::hide();
  }
  return true;
}

bool View::isFirstResponder() const {
  return firstResponderSlot().lock().get() == this;
}

bool View::endEditing() {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<View> responder = firstResponderSlot().lock();
  if (responder == nullptr || !responder->isDescendantOfView(*this)) {
    return false;
  }
  return responder->resignFirstResponder();
}

std::shared_ptr<View> View::currentFirstResponder() {
  QM_DCHECK_MAIN_THREAD();
  return firstResponderSlot().lock();
}

void View::animateWithDuration(double, const std::function<void()>& animations,
                               std::function<void(bool finished)> completion) {
  if (animations) {
    animations();
  }
  if (completion) {
    ns::RunLoop::main().post([completion = std::move(completion)] { completion(true); });
  }
}

std::vector<std::string> View::shownTexts() const {
  std::vector<std::string> texts;
  if (!isShown()) {
    return texts;
  }
  if (std::string text = visibleText(); !text.empty()) {
    texts.push_back(std::move(text));
  }
  for (const auto& subview : subviews_) {
    for (std::string& text : subview->shownTexts()) {
      texts.push_back(std::move(text));
    }
  }
  return texts;
}

void View::renderInto(ScreenText& text) const {
  for (const auto& subview : subviews_) {
    if (subview->isShown()) {
      subview->renderInto(text);
    }
  }
}

std::shared_ptr<void> View::associatedObject(const void* key) const {
  const auto found = associatedObjects_.find(key);
  return found != associatedObjects_.end() ? found->second : nullptr;
}

void View::setAssociatedObject(const void* key, std::shared_ptr<void> object) {
  // The old object is released after the table is changed, since its destructor may look at the view.
  std::shared_ptr<void> old;
  if (object) {
    old = std::exchange(associatedObjects_[key], std::move(object));
  } else if (const auto found = associatedObjects_.find(key); found != associatedObjects_.end()) {
    old = std::move(found->second);
    associatedObjects_.erase(found);
  }
}

}  // namespace uikit
