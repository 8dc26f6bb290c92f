#pragma once

// learning::ZBPlayerTip: the panels the player shows over the picture: loading (a spinner and "加载中"),
// fast-forward and rewind (an icon and the seek time "current/duration"), and an error text. Each panel is a
// 120 x 80 rounded dark picture centred on the host view. Showing a panel builds it afresh (the old one of
// its kind leaves the screen) and hides the panels it replaces; hiding one only takes it off the screen.
//
// Thread-safety: main thread only, like every view.

#include <memory>
#include <string>

#include "platform/foundation/values/Object.h"
#include "platform/uikit/controls/TextField.h"
#include "platform/uikit/views/ImageView.h"
#include "platform/uikit/views/Label.h"

namespace learning {

class ZBPlayerTip : public ns::Object {
 public:
  ZBPlayerTip();

  // The host view (the player), held weakly: the player owns its tips.
  std::shared_ptr<uikit::View> sView() const { return sView_.lock(); }
  void setSView(const std::shared_ptr<uikit::View>& view) { sView_ = view; }
  // The panel shown last, or nullptr.
  const std::shared_ptr<uikit::View>& currentTip() const { return currentTip_; }

  // REQUIRES for every show: the host view is set and alive.
  void showLoading();
  void hideLoading();
  void showFF();
  void hideFF();
  void showFW();
  void hideFW();
  void showErrorInfo(std::string text);
  void hideErrorInfo();
  // Shows "`current`/`duration`" on the seek panels, the current time in the player's accent colour.
  void setCurrent(const std::string& current, const std::string& duration);
  // Moves the loading and seek panels' centres to `center`.
  void setCenter(uikit::Point center);

  // The panels as last built (nullptr before the first show), and the seek and error texts.
  const std::shared_ptr<uikit::ImageView>& loadingPanel() const { return LoadingIMG_; }
  const std::shared_ptr<uikit::ImageView>& fastForwardPanel() const { return FFIMG_; }
  const std::shared_ptr<uikit::ImageView>& rewindPanel() const { return FWIMG_; }
  const std::shared_ptr<uikit::ImageView>& errorPanel() const { return ErrorIMG_; }
  const uikit::TextField& progressText() const { return *progressTF_; }
  const uikit::Label& errorInfoLabel() const { return *errorInfolabel_; }

 private:
  // Builds an empty panel on the host view and makes it the current tip.
  std::shared_ptr<uikit::ImageView> makePanel();
  // A panel with `iconName` above the seek text.
  std::shared_ptr<uikit::ImageView> makeSeekPanel(const char* iconName);

  std::shared_ptr<uikit::ImageView> LoadingIMG_;
  std::shared_ptr<uikit::ImageView> FFIMG_;
  std::shared_ptr<uikit::ImageView> FWIMG_;
  std::shared_ptr<uikit::ImageView> ErrorIMG_;
  std::shared_ptr<uikit::Label> errorInfolabel_;
  std::shared_ptr<uikit::TextField> progressTF_;
  double cornerRadius_ = 10.0;
  uikit::Color bcolor_ = uikit::Color::black().withAlpha(0.8);
  std::weak_ptr<uikit::View> sView_;
  std::shared_ptr<uikit::View> currentTip_;
};

}  // namespace learning
