#pragma once

// uikit::ScrollViewDelegate: what a scroll view tells about its scrolling. Every callback is optional (an
// empty default). Held weakly by the scroll view. Thread-safety: main thread only, like every class of uikit.

namespace uikit {

class ScrollView;

class ScrollViewDelegate {
 public:
  virtual ~ScrollViewDelegate() = default;

  // The content offset changed.
  virtual void scrollViewDidScroll(ScrollView&) {}
  // A finger began to drag the content.
  virtual void scrollViewWillBeginDragging(ScrollView&) {}
  // The finger let go of the content.
  virtual void scrollViewDidEndDragging(ScrollView&) {}
};

}  // namespace uikit
