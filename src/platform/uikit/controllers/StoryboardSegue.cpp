#include "platform/uikit/controllers/StoryboardSegue.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/controllers/NavigationController.h"

namespace uikit {

StoryboardSegue::StoryboardSegue(std::string identifier, std::shared_ptr<ViewController> source,
                                 std::shared_ptr<ViewController> destination, SegueKind kind)
    : identifier_(std::move(identifier)),
      source_(std::move(source)),
      destination_(std::move(destination)),
      kind_(kind) {
  QM_DCHECK_MAIN_THREAD();
}

void StoryboardSegue::perform() {
  QM_DCHECK_MAIN_THREAD();
  NavigationController* navigation = source_->navigationController();
  if (kind_ == SegueKind::kPush && navigation != nullptr) {
    navigation->pushViewController(destination_, true);
  } else {
    source_->presentViewController(destination_, true);
  }
}

}  // namespace uikit
