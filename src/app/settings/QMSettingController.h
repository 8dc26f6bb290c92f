#pragma once

// QMSettingController: the settings screen, a table of two sections. The first holds the two Wi-Fi-only
// switches, "仅在WiFi下播放" (wifiPlaySwitch) and "仅在WiFi下缓存" (wifiDownloadSwitch), which show the
// shared learner's onlyWifiPlay and onlyWifiDown when the screen loads; flipping one writes its flag at once
// (QMUser keeps it in user defaults, where the player and the download manager read it). The second holds
// the rows "关于我们" and "意见反馈", which lead to the about and feedback screens through the storyboard's
// segues (QMMoreStoryboard.h). A tapped row is deselected. The back button "返回" dismisses the navigation
// stack the screen sits in.
//
// The scene "QMSettingController" of storyboard "More" makes it, at the root of the initial scene
// "QMSettingNav".
//
// Thread-safety: main thread only, like every controller.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/uikit/controllers/BarButtonItem.h"
#include "platform/uikit/controllers/TableViewController.h"
#include "platform/uikit/controls/Switch.h"

namespace app {

class QMSettingController : public uikit::TableViewController {
 public:
  static constexpr char kTitle[] = "设置";
  static constexpr char kBackTitle[] = "返回";
  static constexpr char kWifiPlayRow[] = "仅在WiFi下播放";
  static constexpr char kWifiDownloadRow[] = "仅在WiFi下缓存";
  static constexpr char kAboutRow[] = "关于我们";
  static constexpr char kFeedbackRow[] = "意见反馈";

  QMSettingController();

  // Outlets, made by loadView(); nullptr before the view is loaded.
  const std::shared_ptr<uikit::Switch>& wifiPlaySwitch() const { return wifiPlaySwitch_; }
  const std::shared_ptr<uikit::Switch>& wifiDownloadSwitch() const { return wifiDownloadSwitch_; }

  // Builds the table with the two switches and the back button.
  void loadView() override;
  // Shows the shared learner's two flags on the switches.
  void viewDidLoad() override;

  // The switches' value-changed actions: the flag takes the switch's state.
  void wifiPlayAction(uikit::Switch& sender);
  void wifiDownloadAction(uikit::Switch& sender);
  // The back button's action: dismisses the navigation stack, animated.
  void goBackAction(uikit::BarButtonItem& sender);

  std::int64_t numberOfSectionsInTableView(uikit::TableView& tableView) override;
  std::int64_t numberOfRowsInSection(uikit::TableView& tableView, std::int64_t section) override;
  std::shared_ptr<uikit::TableViewCell> cellForRowAtIndexPath(uikit::TableView& tableView,
                                                              const uikit::IndexPath& indexPath) override;
  // Deselects the row, animated; the about and feedback rows then follow their segues.
  void didSelectRowAtIndexPath(uikit::TableView& tableView, const uikit::IndexPath& indexPath) override;

 private:
  std::shared_ptr<uikit::Switch> wifiPlaySwitch_;
  std::shared_ptr<uikit::Switch> wifiDownloadSwitch_;
  // The table's static cells, by section, as the storyboard lays them out.
  std::vector<std::vector<std::shared_ptr<uikit::TableViewCell>>> cells_;
};

}  // namespace app
