#pragma once

// ui::DrawerController: a container with a controller in the centre and a drawer controller on the left that
// slides out from under it. Both are its children; the left one's view shows only while the drawer is not
// closed.
//
// open() moves to state kOpening, tells the children that adopt DrawerControllerPresenting that it will open,
// slides the centre aside and, on the next turn of the main loop (the slide's end), moves to kOpen and tells
// them it did open. close() does the same with kClosing, will-close, kClosed and did-close. A movement that a
// later open() or close() overtakes does not finish: only the last one ends and is announced.
//
// Thread-safety: main thread only, like the controllers it holds.

#include <cstdint>
#include <memory>

#include "platform/uikit/controllers/ViewController.h"

namespace ui {

class DrawerControllerPresenting;

enum class DrawerState : int { kClosed = 0, kOpening = 1, kOpen = 2, kClosing = 3 };

class DrawerController : public uikit::ViewController {
 public:
  // How far the centre slides aside, in points.
  static constexpr double kLeftDrawerWidth = 280;

  // Makes the drawer with its two children and hands it to each child that adopts DrawerControllerChild.
  // Returns the drawer, closed. REQUIRES: both controllers are given.
  static std::shared_ptr<DrawerController> initWithLeftViewController(
      std::shared_ptr<uikit::ViewController> left, std::shared_ptr<uikit::ViewController> center);

  // Use initWithLeftViewController(); public for std::make_shared.
  DrawerController(std::shared_ptr<uikit::ViewController> left,
                   std::shared_ptr<uikit::ViewController> center);

  DrawerState drawerState() const { return state_; }
  const std::shared_ptr<uikit::ViewController>& leftViewController() const { return left_; }
  const std::shared_ptr<uikit::ViewController>& centerViewController() const { return center_; }

  void open();
  void close();

  void loadView() override;
  // The left controller's screen while the drawer is open, else the centre's.
  std::shared_ptr<uikit::ViewController> contentViewController() override;

 private:
  // Calls `hook` on each child that adopts DrawerControllerPresenting, left first.
  void tellChildren(void (DrawerControllerPresenting::*hook)(DrawerController&));
  // Starts a movement to `target`, as the header comment describes.
  void move(DrawerState moving, DrawerState target);
  // Puts the views where `state` wants them.
  void placeViews(DrawerState state);

  std::shared_ptr<uikit::ViewController> left_;
  std::shared_ptr<uikit::ViewController> center_;
  DrawerState state_ = DrawerState::kClosed;
  std::uint64_t movement_ = 0;  // counts movements, so that an overtaken one does not finish
};

}  // namespace ui
