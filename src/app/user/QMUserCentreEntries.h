#pragma once

// QMUserCentreEntries: the rows of the user centre that open the learner's money matters, "我的Z币" (the
// coin account) and "我的订单" (the orders), and how the user centre opens a screen of storyboard "User":
// presented modally, animated, inside a new QMBaseNavigationController.
//
// Thread-safety: main thread only.

#include <memory>
#include <string>

#include "platform/uikit/controllers/ViewController.h"
#include "platform/uikit/tables/TableViewCell.h"

namespace app {

class QMUserCentreEntries {
 public:
  static constexpr char kAccountRowText[] = "我的Z币";
  static constexpr char kOrdersRowText[] = "我的订单";
  static constexpr char kAccountScene[] = "QMUserAccount";
  static constexpr char kOrdersScene[] = "QMUserOrderList";
  static constexpr char kInfoScene[] = "QMUserInfoController";

  QMUserCentreEntries();

  // Presents scene `scene` of storyboard "User" from `presenter`, as the header comment describes.
  static void present(uikit::ViewController& presenter, const std::string& scene);

  const std::shared_ptr<uikit::TableViewCell>& accountCell() const { return accountCell_; }
  const std::shared_ptr<uikit::TableViewCell>& ordersCell() const { return ordersCell_; }

 private:
  std::shared_ptr<uikit::TableViewCell> accountCell_;
  std::shared_ptr<uikit::TableViewCell> ordersCell_;
};

}  // namespace app
