#pragma once

namespace app {

// QMUserStoryboard: the storyboard "User" of the user-centre screens, registered with the storyboard
// registry (uikit::Storyboard) at start-up. Its scenes are named after their controllers' classes.
//
// Thread-safety: main thread only.

class QMUserStoryboard {
 public:
  static constexpr char kName[] = "User";

  // Registers every scene of the storyboard: the login screen "QMUserLogController"; the user centre's
  // "QMUserHomeController", "QMUserInfoController" and "QMUserOldCenterController"; the coin account
  // "QMUserAccount", its transactions "QMUserAccountDetails" (the account's segue "showZCoinList") and one
  // transaction "QMUserOneTradeDetails" (the transactions' segue "showTradeDetails"), both pushed; and the
  // order list "QMUserOrderList".
  static void registerScenes();
};

}  // namespace app
