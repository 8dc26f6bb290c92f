#include "app/base/QMBaseViewController.h"

#include "app/store/ConsoleLog.h"

QMBaseViewController::~QMBaseViewController() {
  consoleLog(kDeallocLine);
}
