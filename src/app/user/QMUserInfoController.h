#pragma once

// QMUserInfoController: the learner's full name, sex and address as the shared QMUser holds them; it sends
// no request. It is presented inside a navigation controller, which its back item dismisses.
//
// Thread-safety: main thread only, like every controller.

#include <memory>
#include <optional>

#include "app/user/QMUserProfileRows.h"
#include "platform/uikit/controllers/BarButtonItem.h"
#include "platform/uikit/controllers/TableViewController.h"

namespace app {

class QMUserInfoController : public uikit::TableViewController {
 public:
  static constexpr char kTitle[] = "个人资料";

  QMUserInfoController() = default;

  // Outlets, made by loadView(); nullptr before the view is loaded.
  std::shared_ptr<uikit::Label> realNameLabel() const { return rows_ ? rows_->realNameLabel() : nullptr; }
  std::shared_ptr<uikit::Label> sexLabel() const { return rows_ ? rows_->sexLabel() : nullptr; }
  std::shared_ptr<uikit::Label> addressLabel() const { return rows_ ? rows_->addressLabel() : nullptr; }

  void loadView() override;
  // setupSubviews().
  void viewDidLoad() override;
  // Fills the labels from the shared QMUser.
  void setupSubviews();
  // Dismisses the navigation controller that holds the screen, animated.
  void goBackAction(uikit::BarButtonItem& sender);

  std::int64_t numberOfRowsInSection(uikit::TableView& tableView, std::int64_t section) override;
  std::shared_ptr<uikit::TableViewCell> cellForRowAtIndexPath(uikit::TableView& tableView,
                                                              const uikit::IndexPath& indexPath) override;

 private:
  std::optional<QMUserProfileRows> rows_;
};

}  // namespace app
