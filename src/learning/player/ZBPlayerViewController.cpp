#include "learning/player/ZBPlayerViewController.h"

#include "learning/player/controls/InterfaceScreenBounds.h"
#include "platform/uikit/app/Device.h"

namespace learning {
namespace {

// The player's delegate on the controller's behalf: it answers every callback and passes it to the
// controller, held weakly since the controller owns the player.
class PlayerEvents : public ZBPlayerDelegate {
 public:
  explicit PlayerEvents(std::weak_ptr<ZBPlayerViewController> controller)
      : controller_(std::move(controller)) {}

  bool answers(Callback /*callback*/) const override { return true; }
  void playerDidStop(ZBPlayer& player, const std::optional<ns::Error>& error) override {
    if (const auto controller = controller_.lock()) {
      controller->playerDidStop(player, error);
    }
  }
  void playerOnClickedPlayAtEnded(ZBPlayer& player, bool atEnded) override {
    if (const auto controller = controller_.lock()) {
      controller->playerOnClickedPlayAtEnded(player, atEnded);
    }
  }
  void playerOnClickedNavBack(ZBPlayer& player, const std::optional<ns::URL>& url) override {
    if (const auto controller = controller_.lock()) {
      controller->playerOnClickedNavBack(player, url);
    }
  }
  void playerOnClickedLast(ZBPlayer& player, const std::optional<ns::URL>& url) override {
    if (const auto controller = controller_.lock()) {
      controller->playerOnClickedLast(player, url);
    }
  }
  void playerOnClickedNext(ZBPlayer& player, const std::optional<ns::URL>& url) override {
    if (const auto controller = controller_.lock()) {
      controller->playerOnClickedNext(player, url);
    }
  }

 private:
  std::weak_ptr<ZBPlayerViewController> controller_;
};

}  // namespace

void ZBPlayerViewController::viewDidLoad() {
  playerView_ = ZBPlayer::fullScreenPlayer();
  playerView_->setDelegate(
      std::make_shared<PlayerEvents>(std::static_pointer_cast<ZBPlayerViewController>(shared_from_this())));
  view()->addSubview(playerView_);
}

void ZBPlayerViewController::onChangeOrenation() {
  const uikit::DeviceOrientation orientation = uikit::Device::currentDevice().orientation();
  if (orientation == uikit::DeviceOrientation::kLandscapeLeft ||
      orientation == uikit::DeviceOrientation::kLandscapeRight) {
    enterFullScreen();
  }
}

void ZBPlayerViewController::enterFullScreen() {
  if (playerView_) {
    playerView_->setFrame(interfaceScreenBounds());
    playerView_->setNeedsDisplay();
  }
}

void ZBPlayerViewController::forward(ZBPlayerDelegate::Callback callback,
                                     const std::function<void(ZBPlayerDelegate&)>& call) {
  const std::shared_ptr<ZBPlayerViewControllerDelegate> delegate = delegate_;
  if (delegate && delegate->answers(callback)) {
    call(*delegate);
  }
}

void ZBPlayerViewController::playerDidStop(ZBPlayer& player, const std::optional<ns::Error>& error) {
  forward(ZBPlayerDelegate::Callback::kDidStop,
          [&](ZBPlayerDelegate& delegate) { delegate.playerDidStop(player, error); });
}

void ZBPlayerViewController::playerOnClickedPlayAtEnded(ZBPlayer& player, bool atEnded) {
  forward(ZBPlayerDelegate::Callback::kOnClickedPlayAtEnded,
          [&](ZBPlayerDelegate& delegate) { delegate.playerOnClickedPlayAtEnded(player, atEnded); });
}

void ZBPlayerViewController::playerOnClickedLast(ZBPlayer& player, const std::optional<ns::URL>& url) {
  forward(ZBPlayerDelegate::Callback::kOnClickedLast,
          [&](ZBPlayerDelegate& delegate) { delegate.playerOnClickedLast(player, url); });
}

void ZBPlayerViewController::playerOnClickedNext(ZBPlayer& player, const std::optional<ns::URL>& url) {
  forward(ZBPlayerDelegate::Callback::kOnClickedNext,
          [&](ZBPlayerDelegate& delegate) { delegate.playerOnClickedNext(player, url); });
}

void ZBPlayerViewController::playerOnClickedNavBack(ZBPlayer& player, const std::optional<ns::URL>& url) {
  const std::shared_ptr<uikit::ViewController> keepAlive =
      std::static_pointer_cast<uikit::ViewController>(shared_from_this());
  dismissViewControllerAnimated(true);
  forward(ZBPlayerDelegate::Callback::kOnClickedNavBack,
          [&](ZBPlayerDelegate& delegate) { delegate.playerOnClickedNavBack(player, url); });
}

}  // namespace learning
