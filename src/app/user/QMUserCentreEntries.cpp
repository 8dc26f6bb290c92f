#include "app/user/QMUserCentreEntries.h"

#include "app/base/QMScenePresenting.h"
#include "app/user/QMUserStoryboard.h"
#include "platform/foundation/check/Check.h"

namespace app {

namespace {

std::shared_ptr<uikit::TableViewCell> entryCell(const char* text) {
  auto cell = std::make_shared<uikit::TableViewCell>(uikit::TableViewCellStyle::kDefault, text);
  cell->textLabel().setText(text);
  cell->setAccessoryType(uikit::TableViewCellAccessoryType::kDisclosureIndicator);
  return cell;
}

}  // namespace

QMUserCentreEntries::QMUserCentreEntries()
    : accountCell_(entryCell(kAccountRowText)), ordersCell_(entryCell(kOrdersRowText)) {}

void QMUserCentreEntries::present(uikit::ViewController& presenter, const std::string& scene) {
  QM_DCHECK_MAIN_THREAD();
  // The scenes of storyboard "User" are registered with it; presentScene() logs it should one be missing.
  (void)presentScene(presenter, QMUserStoryboard::kName, scene, SceneWrapping::kInNavigation);
}

}  // namespace app
