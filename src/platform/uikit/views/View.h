#pragma once

// uikit::View: a rectangle on screen and the tree of views inside it, the stand-in for the platform's view.
//
// A view keeps its geometry (frame, bounds, centre), its appearance (hidden, alpha, background, layer), its
// interaction flag, tag and accessibility identifier, its subviews in back-to-front order and its gesture
// recognisers. Nothing is drawn: the state is read by the screen text (render/) and driven by the driver
// (driver/) the way a finger would.
//
// Ownership: views live in std::shared_ptr. A view owns its subviews; the superview pointer is non-owning and
// cleared when the superview lets go of the view or is destroyed.
//
// Layout and drawing: setNeedsLayout() and setNeedsDisplay() mark a view; the window then runs one pass on
// the next turn of the main loop, calling layoutSubviews() top-down and then drawRect() on every marked view.
// A new view is marked for both, so a view is laid out and drawn once it is in a window.
//
// Animations jump to their end state at once; their completion runs on the next turn of the main loop.
//
// Thread-safety: main thread only, like every class of uikit.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/values/Object.h"
#include "platform/uikit/drawing/Color.h"
#include "platform/uikit/drawing/Layer.h"
#include "platform/uikit/geometry/Geometry.h"

namespace uikit {

class GestureRecognizer;
class Image;
class ScreenText;
class ViewController;
class Window;

class View : public ns::Object {
 public:
  explicit View(Rect frame = {});
  ~View() override;

  // Geometry. The frame is in the superview's coordinates; the bounds are the view's own, whose origin is
  // the scroll position of a scroll view. Changing the size marks the view for layout.
  Rect frame() const { return frame_; }
  void setFrame(Rect frame);
  Rect bounds() const { return Rect(boundsOrigin_, frame_.size); }
  // Keeps the centre when the size changes, as the platform does.
  void setBounds(Rect bounds);
  Point center() const { return Point{frame_.midX(), frame_.midY()}; }
  void setCenter(Point center);

  // Appearance and interaction.
  bool isHidden() const { return hidden_; }
  void setHidden(bool hidden) { hidden_ = hidden; }
  double alpha() const { return alpha_; }
  void setAlpha(double alpha) { alpha_ = alpha; }
  bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
  void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }
  std::int64_t tag() const { return tag_; }
  void setTag(std::int64_t tag) { tag_ = tag; }
  const std::optional<Color>& backgroundColor() const { return layer_.backgroundColor(); }
  void setBackgroundColor(std::optional<Color> color) { layer_.setBackgroundColor(std::move(color)); }
  bool clipsToBounds() const { return layer_.masksToBounds(); }
  void setClipsToBounds(bool clips) { layer_.setMasksToBounds(clips); }
  Layer& layer() { return layer_; }
  const Layer& layer() const { return layer_; }
  // The name a test or the driver finds the view by; screens set it to the outlet's name.
  const std::string& accessibilityIdentifier() const { return accessibilityIdentifier_; }
  void setAccessibilityIdentifier(std::string identifier) {
    accessibilityIdentifier_ = std::move(identifier);
  }

  // The tree.
  // Returns the superview, or nullptr. Non-owning.
  View* superview() const { return superview_; }
  // Back to front.
  const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
  // Returns the window the view is in, or nullptr. Non-owning.
  Window* window() const;
  // Adds `view` in front of the other subviews, taking it from its former superview. Adding a subview again
  // brings it to the front. REQUIRES: `view` is not this view nor one of its ancestors.
  void addSubview(std::shared_ptr<View> view);
  // Inserts `view` at `index` (clamped to the subview count) of the back-to-front order.
  void insertSubviewAtIndex(std::shared_ptr<View> view, std::size_t index);
  // Inserts `view` just in front of, or just behind, the subview `sibling`; at the front when `sibling` is
  // not a subview.
  void insertSubviewAboveSubview(std::shared_ptr<View> view, const View& sibling);
  void insertSubviewBelowSubview(std::shared_ptr<View> view, const View& sibling);
  void bringSubviewToFront(const View& subview);
  // Takes the view out of its superview; the first responder inside it resigns. Does nothing without one.
  void removeFromSuperview();
  // True for this view and every view inside it.
  bool isDescendantOfView(const View& view) const;

  // Converts from the coordinates of this view to those of `view`; nullptr means the window's (the tree's
  // root's) coordinates. Views of different trees meet in their roots' coordinates.
  Rect convertRectToView(Rect rect, const View* view) const;
  Point convertPointToView(Point point, const View* view) const;

  // Layout and drawing.
  void setNeedsLayout();
  // Lays out this view and then its subviews, each only when marked.
  void layoutIfNeeded();
  // Places the subviews. The default does nothing.
  virtual void layoutSubviews() {}
  void setNeedsDisplay();
  // Draws the view. The default does nothing; views that lay themselves out while drawing override it.
  virtual void drawRect(Rect rect);
  // Returns the size that fits the view's content; the default keeps the current size.
  virtual Size sizeThatFits(Size size) const;
  // Resizes the view to sizeThatFits() of its current size, keeping its origin.
  void sizeToFit();

  // Tree callbacks, for subclasses. They run after the change.
  virtual void willMoveToSuperview(View* newSuperview);
  virtual void didMoveToSuperview() {}
  virtual void didMoveToWindow() {}
  // Called on the top-level views of a nib once the nib has made them.
  virtual void awakeFromNib() {}

  // Gestures. The view owns its recognisers.
  void addGestureRecognizer(std::shared_ptr<GestureRecognizer> recognizer);
  void removeGestureRecognizer(const GestureRecognizer& recognizer);
  const std::vector<std::shared_ptr<GestureRecognizer>>& gestureRecognizers() const {
    return gestureRecognizers_;
  }

  // A finger touching the view, moving over it and lifting, at `location` in the view's coordinates. The
  // stand-in has no touch screen: a test or the driver calls these as a finger would. The defaults do
  // nothing.
  virtual void touchesBegan(Point /*location*/) {}
  virtual void touchesMoved(Point /*location*/) {}
  virtual void touchesEnded(Point /*location*/) {}

  // The first responder: the one view, process-wide, that takes typed text. A text input that becomes first
  // responder raises the keyboard; its resigning lowers it.
  virtual bool canBecomeFirstResponder() const { return false; }
  // Returns true when the view is (now) the first responder; false when it cannot become it.
  bool becomeFirstResponder();
  // Returns true; a view that is not the first responder has nothing to resign.
  bool resignFirstResponder();
  bool isFirstResponder() const;
  // Resigns the first responder when it is this view or inside it. Returns whether one resigned.
  bool endEditing();
  // Returns the first responder, or nullptr.
  static std::shared_ptr<View> currentFirstResponder();

  // The controller whose root view this is, or nullptr. Non-owning; set by the controller.
  ViewController* viewController() const { return viewController_; }

  // Runs `animations` now, as if the animation had ended, and `completion` (with true) on the next turn of
  // the main loop. The duration is not waited for.
  static void animateWithDuration(double seconds, const std::function<void()>& animations,
                                  std::function<void(bool finished)> completion = {});

  // Screen text. True when neither this view is hidden nor its alpha is 0 (ancestors are not looked at).
  bool isShown() const { return !hidden_ && alpha_ > 0; }
  // Appends the lines of this view and of the shown views inside it. The default appends its subviews'.
  virtual void renderInto(ScreenText& text) const;
  // The text a person reads on the view (a label's text, a button's title), empty for most views. The driver
  // finds views by it.
  virtual std::string visibleText() const { return {}; }
  // The non-empty visible texts of this view and of the shown views inside it, back to front; empty when
  // this view is not shown.
  std::vector<std::string> shownTexts() const;
  // The picture the view paints from a live source, such as a video's current frame, made when asked; the
  // driver reads it to save what a person sees. nullptr for views without one, which is most views (an
  // image view's image is a resource, not live).
  virtual std::shared_ptr<const Image> livePicture() const { return nullptr; }

  // Objects that other code keeps on the view under a key of its own (the address of a static), as the
  // platform's associated objects: each lives as long as the view, or until replaced. nullptr when none.
  std::shared_ptr<void> associatedObject(const void* key) const;
  // Keeps `object` under `key`, replacing (and releasing) what was there; nullptr removes it.
  void setAssociatedObject(const void* key, std::shared_ptr<void> object);

 protected:
  // Called when the view becomes or stops being the first responder.
  virtual void didBecomeFirstResponder() {}
  virtual void didResignFirstResponder() {}

 private:
  friend class ViewController;
  friend class Window;

  // Moves `view` in at `index` of subviews_, with the tree callbacks.
  void insertSubview(std::shared_ptr<View> view, std::size_t index);
  // Puts `view` at `index` (clamped) of subviews_, and nothing else.
  void placeSubview(std::shared_ptr<View> view, std::size_t index);
  // Takes `view` out of subviews_ and returns it.
  std::shared_ptr<View> detachSubview(const View& view);
  // Index of `subview` in subviews_, or std::nullopt.
  std::optional<std::size_t> indexOfSubview(const View& subview) const;
  // Tells this view and every view inside it that their window changed, and marks them for the next pass.
  void propagateWindowChange();
  // Runs layoutSubviews() with the owning controller's hooks around it.
  void runLayout();
  // Calls drawRect() on this view and the views inside it that are marked.
  void displayIfNeeded();
  Point convertPointToRoot(Point point) const;
  Point convertPointFromRoot(Point point) const;
  // Asks the window, if any, for a layout and drawing pass.
  void requestWindowUpdate();

  Rect frame_;
  Point boundsOrigin_;
  bool hidden_ = false;
  double alpha_ = 1;
  bool userInteractionEnabled_ = true;
  std::int64_t tag_ = 0;
  Layer layer_;
  std::string accessibilityIdentifier_;
  View* superview_ = nullptr;
  std::vector<std::shared_ptr<View>> subviews_;
  std::map<const void*, std::shared_ptr<void>> associatedObjects_;
  std::vector<std::shared_ptr<GestureRecognizer>> gestureRecognizers_;
  ViewController* viewController_ = nullptr;
  bool needsLayout_ = true;
  bool needsDisplay_ = true;
};

}  // namespace uikit
