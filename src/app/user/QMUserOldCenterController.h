#pragma once

// QMUserOldCenterController: the user centre that the drawer menu opens: the learner's avatar and login
// name, full name, sex and address on one screen, and the rows that open the coin account and the orders
// (QMUserCentreEntries.h). It shows the stored profile at once, then asks for the profile and the avatar
// and shows them again as each reply comes; a failed request leaves what is shown. Its back button
// dismisses it.
//
// Thread-safety: main thread only, like every controller.

#include <memory>
#include <optional>

#include "app/user/QMUserCentreEntries.h"
#include "app/user/QMUserDataModel.h"
#include "app/user/QMUserDataModelDelegate.h"
#include "app/user/QMUserProfileHeader.h"
#include "app/user/QMUserProfileRows.h"
#include "platform/uikit/controllers/TableViewController.h"

namespace app {

class QMUserOldCenterController : public uikit::TableViewController, public QMUserDataModelDelegate {
 public:
  QMUserOldCenterController() = default;

  // Outlets, made by loadView(); nullptr before the view is loaded.
  std::shared_ptr<uikit::ImageView> avaterImageView() const {
    return header_ ? header_->avaterImageView() : nullptr;
  }
  std::shared_ptr<uikit::Label> userNameLabel() const { return header_ ? header_->userNameLabel() : nullptr; }
  std::shared_ptr<uikit::Label> realNameLabel() const { return rows_ ? rows_->realNameLabel() : nullptr; }
  std::shared_ptr<uikit::Label> sexLabel() const { return rows_ ? rows_->sexLabel() : nullptr; }
  std::shared_ptr<uikit::Label> addressLabel() const { return rows_ ? rows_->addressLabel() : nullptr; }
  const std::shared_ptr<QMUserDataModel>& dataModel() const { return dataModel_; }

  void loadView() override;
  // Shows the stored profile and asks for the profile, then the avatar.
  void viewDidLoad() override;
  // Fills every outlet from the shared QMUser.
  void setupSubviews();
  // Dismisses the screen, animated.
  void goBackAction(uikit::Button& sender);

  std::int64_t numberOfSectionsInTableView(uikit::TableView& tableView) override;
  std::int64_t numberOfRowsInSection(uikit::TableView& tableView, std::int64_t section) override;
  std::shared_ptr<uikit::TableViewCell> cellForRowAtIndexPath(uikit::TableView& tableView,
                                                              const uikit::IndexPath& indexPath) override;
  void didSelectRowAtIndexPath(uikit::TableView& tableView, const uikit::IndexPath& indexPath) override;

  void networkGetUserInfoSuccess() override { setupSubviews(); }
  void networkGetUserAvaterSuccess() override { setupSubviews(); }

 private:
  std::optional<QMUserProfileHeader> header_;
  std::optional<QMUserProfileRows> rows_;
  QMUserCentreEntries entries_;
  std::shared_ptr<QMUserDataModel> dataModel_;
};

}  // namespace app
