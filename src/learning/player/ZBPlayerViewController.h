#pragma once

// learning::ZBPlayerViewController: a landscape-only screen that hosts a full-screen player
// (ZBPlayer::fullScreenPlayer()) and forwards its events to its own delegate, unchanged, each when the
// delegate answers it. The back button first dismisses the screen (animated), then is forwarded.
//
// The controller holds its delegate strongly, as the player does; the owner sets it to nullptr when it
// leaves. The controller answers its player through a small delegate that holds it weakly, so that the
// two do not keep each other alive.
//
// Thread-safety: main thread only, like every controller.

#include <memory>

#include "learning/player/ZBPlayer.h"
#include "learning/player/ZBPlayerViewControllerDelegate.h"
#include "platform/uikit/controllers/ViewController.h"

namespace learning {

class ZBPlayerViewController : public uikit::ViewController {
 public:
  // The player, made when the view loads; nullptr before.
  const std::shared_ptr<ZBPlayer>& playerView() const { return playerView_; }
  const std::shared_ptr<ZBPlayerViewControllerDelegate>& delegate() const { return delegate_; }
  void setDelegate(std::shared_ptr<ZBPlayerViewControllerDelegate> delegate) {
    delegate_ = std::move(delegate);
  }

  // Makes the full-screen player, answers it and adds it to the view.
  void viewDidLoad() override;
  // Landscape left and right only, and it turns with the device.
  bool shouldAutorotate() const override { return true; }
  uikit::InterfaceOrientationMask supportedInterfaceOrientations() const override {
    return uikit::kInterfaceOrientationMaskLandscape;
  }

  // Enters full screen when the device is held in landscape.
  void onChangeOrenation();
  // Sizes the player to the screen and asks it to redraw.
  void enterFullScreen();

  // The player's callbacks, forwarded to the delegate when it answers them.
  void playerDidStop(ZBPlayer& player, const std::optional<ns::Error>& error);
  void playerOnClickedPlayAtEnded(ZBPlayer& player, bool atEnded);
  void playerOnClickedLast(ZBPlayer& player, const std::optional<ns::URL>& url);
  void playerOnClickedNext(ZBPlayer& player, const std::optional<ns::URL>& url);
  // Dismisses the screen first.
  void playerOnClickedNavBack(ZBPlayer& player, const std::optional<ns::URL>& url);

 private:
  // Calls `call` on the delegate when it answers `callback`, keeping it alive meanwhile.
  void forward(ZBPlayerDelegate::Callback callback, const std::function<void(ZBPlayerDelegate&)>& call);

  std::shared_ptr<ZBPlayer> playerView_;
  std::shared_ptr<ZBPlayerViewControllerDelegate> delegate_;
};

}  // namespace learning
