#pragma once

// QMUserHomeController: the user-centre home: the learner's avatar and login name, the profile button
// ("个人资料", opening QMUserInfoController), and the rows "我的Z币" and "我的订单". The first row of any
// section opens the coin account, every other row the orders; each opens inside a new navigation
// controller (QMUserCentreEntries.h).
//
// It shows the stored avatar at once, then asks for the avatar, the profile and the coin account, in this
// order. The avatar reply shows the new avatar and the profile reply the login name (the name label keeps
// the scene's text until then, even when a login name is stored); the coin reply only refreshes the
// shared user, and failures change nothing. Its back button dismisses it.
//
// Thread-safety: main thread only, like every controller.

#include <memory>
#include <optional>

#include "app/user/QMUserCentreEntries.h"
#include "app/user/QMUserDataModel.h"
#include "app/user/QMUserDataModelDelegate.h"
#include "app/user/QMUserProfileHeader.h"
#include "platform/uikit/controllers/TableViewController.h"

namespace app {

class QMUserHomeController : public uikit::TableViewController, public QMUserDataModelDelegate {
 public:
  static constexpr char kInfoTitle[] = "个人资料";

  QMUserHomeController() = default;

  // Outlets, made by loadView(); nullptr before the view is loaded.
  std::shared_ptr<uikit::ImageView> avaterImageView() const {
    return header_ ? header_->avaterImageView() : nullptr;
  }
  std::shared_ptr<uikit::Label> userNameLabel() const { return header_ ? header_->userNameLabel() : nullptr; }
  const std::shared_ptr<QMUserDataModel>& dataModel() const { return dataModel_; }

  void loadView() override;
  // Shows the stored avatar and sends the three requests.
  void viewDidLoad() override;

  void goUserInfoAction(uikit::Button& sender);
  void goUserAccountAction();
  void goUserOrdersAction();
  // Dismisses the screen, animated.
  void goBackAction(uikit::Button& sender);

  std::int64_t numberOfRowsInSection(uikit::TableView& tableView, std::int64_t section) override;
  std::shared_ptr<uikit::TableViewCell> cellForRowAtIndexPath(uikit::TableView& tableView,
                                                              const uikit::IndexPath& indexPath) override;
  void didSelectRowAtIndexPath(uikit::TableView& tableView, const uikit::IndexPath& indexPath) override;

  void networkGetUserAvaterSuccess() override;
  void networkGetUserInfoSuccess() override;

 private:
  std::optional<QMUserProfileHeader> header_;
  std::shared_ptr<uikit::Button> infoButton_;
  QMUserCentreEntries entries_;
  std::shared_ptr<QMUserDataModel> dataModel_;
};

}  // namespace app
