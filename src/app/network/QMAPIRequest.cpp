#include "app/network/QMAPIRequest.h"

#include <memory>

#include "app/network/QMNetworkHelper.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/app/Application.h"
#include "ui/hud/ProgressHUD.h"

namespace app {

namespace {

void showLoadingIndicator() {
  if (std::shared_ptr<uikit::Window> window = uikit::Application::sharedApplication().keyWindow()) {
    ui::ProgressHUD::showHUDAddedTo(*window, true);
  }
}

void hideLoadingIndicators() {
  if (std::shared_ptr<uikit::Window> window = uikit::Application::sharedApplication().keyWindow()) {
    ui::ProgressHUD::hideAllHUDsForView(*window, true);
  }
}

}  // namespace

void QMAPIRequest::post(std::string_view path, const ns::Dictionary& parameters, RefusalToast toast,
                        LoadingIndicator indicator, Finished finished) {
  QM_DCHECK_MAIN_THREAD();
  const bool withIndicator = indicator == LoadingIndicator::kOnKeyWindow;
  if (withIndicator) {
    showLoadingIndicator();
  }
  QMNetworkHelper::commonServerManager()->POST(
      path, QMNetworkHelper::networkCommonParam(parameters),
      [withIndicator, toast, finished](const std::shared_ptr<http_client::HCHTTPRequestOperation>&,
                                       const std::optional<ns::Value>& reply) {
        if (withIndicator) {
          hideLoadingIndicators();
        }
        const bool accepted = QMNetworkHelper::networkParseServerReply(reply, toast == RefusalToast::kShow);
        finished(accepted ? reply : std::nullopt);
      },
      [withIndicator, finished](const std::shared_ptr<http_client::HCHTTPRequestOperation>&,
                                const ns::Error&) {
        if (withIndicator) {
          hideLoadingIndicators();
        }
        finished(std::nullopt);
      });
}

}  // namespace app
