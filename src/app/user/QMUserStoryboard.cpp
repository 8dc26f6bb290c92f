#include "app/user/QMUserStoryboard.h"

#include <memory>

#include "app/account/QMUserAccount.h"
#include "app/account/QMUserAccountDetails.h"
#include "app/account/QMUserOneTradeDetails.h"
#include "app/account/QMUserOrderList.h"
#include "app/user/QMUserHomeController.h"
#include "app/user/QMUserInfoController.h"
#include "app/user/QMUserLogController.h"
#include "app/user/QMUserOldCenterController.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/storyboard/Storyboard.h"

namespace app {

namespace {

template <typename Screen>
void registerScreen(const char* identifier) {
  uikit::Storyboard::registerScene(QMUserStoryboard::kName, identifier,
                                   [] { return std::make_shared<Screen>(); });
}

}  // namespace

void QMUserStoryboard::registerScenes() {
  QM_DCHECK_MAIN_THREAD();
  registerScreen<QMUserLogController>("QMUserLogController");
  registerScreen<QMUserHomeController>("QMUserHomeController");
  registerScreen<QMUserInfoController>("QMUserInfoController");
  registerScreen<QMUserOldCenterController>("QMUserOldCenterController");
  registerScreen<QMUserAccount>("QMUserAccount");
  registerScreen<QMUserAccountDetails>("QMUserAccountDetails");
  registerScreen<QMUserOneTradeDetails>("QMUserOneTradeDetails");
  registerScreen<QMUserOrderList>("QMUserOrderList");
  uikit::Storyboard::registerSegue(kName, "QMUserAccount", QMUserAccount::kZCoinListSegue,
                                   {"QMUserAccountDetails", uikit::SegueKind::kPush});
  uikit::Storyboard::registerSegue(kName, "QMUserAccountDetails", QMUserAccountDetails::kTradeDetailsSegue,
                                   {"QMUserOneTradeDetails", uikit::SegueKind::kPush});
}

}  // namespace app
