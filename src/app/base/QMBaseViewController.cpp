#include "app/base/QMBaseViewController.h"

#include "app/store/ConsoleLog.h"

namespace app {

QMBaseViewController::~QMBaseViewController() {
  consoleLog(kDeallocLine);
}

}  // namespace app
