#pragma once

// uikit::ScrollView: a view whose content is larger than itself and moves under it. The content offset is the
// origin of the view's bounds, so subviews placed in content coordinates move as it scrolls.
//
// Thread-safety: main thread only, like every class of uikit.

#include <memory>
#include <vector>

#include "platform/uikit/views/ScrollViewDelegate.h"
#include "platform/uikit/views/View.h"

namespace uikit {

class ScrollView : public View {
 public:
  explicit ScrollView(Rect frame = {});

  Point contentOffset() const { return bounds().origin; }
  // Moves the content; the delegate hears scrollViewDidScroll() when the offset changed. Animation is not
  // waited for.
  void setContentOffset(Point offset, bool animated = false);
  Size contentSize() const { return contentSize_; }
  // Content that shrinks under the offset pulls the offset back to its end (the delegate hears of it), as a
  // phone's scroll view does, unless a finger holds the content: a list reloaded with fewer rows shows rows.
  void setContentSize(Size size);
  EdgeInsets contentInset() const { return contentInset_; }
  void setContentInset(EdgeInsets inset) { contentInset_ = inset; }
  bool isScrollEnabled() const { return scrollEnabled_; }
  void setScrollEnabled(bool enabled) { scrollEnabled_ = enabled; }

  const std::weak_ptr<ScrollViewDelegate>& scrollDelegate() const { return scrollDelegate_; }
  // Held weakly.
  void setScrollDelegate(std::weak_ptr<ScrollViewDelegate> delegate) {
    scrollDelegate_ = std::move(delegate);
  }
  // Views inside the scroll view that follow its scrolling and dragging (a pull-to-refresh header) hear what
  // the delegate hears, after it. Held weakly; removeScrollObserver() takes one off.
  void addScrollObserver(std::weak_ptr<ScrollViewDelegate> observer);
  void removeScrollObserver(const ScrollViewDelegate* observer);

  // Whether a finger drags the content now.
  bool isDragging() const { return dragging_; }
  // What a finger pulling the content `distance` points down past its top does: the drag begins, the
  // content moves to `distance` above its top inset, the finger lets go, and the content goes back to its
  // top inset (which whatever heard the drag may have changed). Does nothing while scrolling is off.
  void pullDown(double distance);
  // What a finger moving `distance` points up over the content does (down for a negative distance): the
  // content follows it, within its ends.
  void scrollBy(double distance);

 protected:
  // Called when the content offset changed, before the delegate and the observers hear of it.
  virtual void contentOffsetDidChange() {}

 private:
  // The offset that shows the end of the content (its top when the content is shorter than the view).
  double bottomOffset() const;
  // A finger's drag that moves the content to `offset`, with the delegate and the observers told.
  void dragTo(double offset);

  Size contentSize_;
  EdgeInsets contentInset_;
  bool scrollEnabled_ = true;
  std::weak_ptr<ScrollViewDelegate> scrollDelegate_;
  std::vector<std::weak_ptr<ScrollViewDelegate>> scrollObservers_;
  bool dragging_ = false;

  // Calls `callback` on the delegate, then on each observer still alive.
  void tellListeners(void (ScrollViewDelegate::*callback)(ScrollView&));
};

}  // namespace uikit
