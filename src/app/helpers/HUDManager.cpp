#include "app/helpers/HUDManager.h"

#include "platform/foundation/check/Check.h"
#include "platform/foundation/text/Utf16.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Window.h"

namespace app {

namespace {

constexpr std::size_t kShortTextLimit = 11;

std::shared_ptr<ui::ProgressHUD>& loadingHUDSlot() {
  static std::shared_ptr<ui::ProgressHUD> hud;
  return hud;
}

bool isShort(const std::string& text) {
  return ns::utf16Length(text) < kShortTextLimit;
}

}  // namespace

void HUDManager::showWarningWithText(const std::string& text) {
  QM_DCHECK_MAIN_THREAD();
  showToast(text, isShort(text) ? 1.0 : 1.5);
}

void HUDManager::showWarningWithText(const std::string& text, double seconds) {
  QM_DCHECK_MAIN_THREAD();
  showToast(text, isShort(text) ? seconds : static_cast<double>(ns::utf16Length(text) / 10));
}

void HUDManager::showLoadingHUDView(uikit::View& view) {
  QM_DCHECK_MAIN_THREAD();
  showLoading(view, kLoadingText, 0.3);
}

void HUDManager::showLoadingHUDView(uikit::View& view, const std::string& text) {
  QM_DCHECK_MAIN_THREAD();
  showLoading(view, text, isShort(text) ? 0.3 : 1.0);
}

void HUDManager::hideHUDView() {
  QM_DCHECK_MAIN_THREAD();
  if (const std::shared_ptr<ui::ProgressHUD>& hud = loadingHUDSlot()) {
    hud->hide(true);
  }
}

const std::shared_ptr<ui::ProgressHUD>& HUDManager::currentLoadingHUD() {
  QM_DCHECK_MAIN_THREAD();
  return loadingHUDSlot();
}

void HUDManager::showToast(const std::string& text, double seconds) {
  QM_DCHECK_MAIN_THREAD();
  const std::vector<std::shared_ptr<uikit::Window>> windows =
      uikit::Application::sharedApplication().windows();
  if (windows.empty()) {
    return;
  }
  std::shared_ptr<ui::ProgressHUD> hud = ui::ProgressHUD::showHUDAddedTo(*windows.front(), true);
  hud->setMode(ui::ProgressHUDMode::kText);
  hud->setLabelText(text);
  hud->setDimBackground(false);
  hud->setMargin(12);
  hud->hide(true, seconds);
}

void HUDManager::showLoading(uikit::View& view, const std::string& text, double minShowSeconds) {
  QM_DCHECK_MAIN_THREAD();
  hideHUDView();
  std::shared_ptr<ui::ProgressHUD> hud = ui::ProgressHUD::showHUDAddedTo(view, true);
  hud->setMode(ui::ProgressHUDMode::kIndeterminate);
  hud->setMargin(18);
  hud->setOpacity(0.55);
  hud->setDimBackground(true);
  hud->setLabelText(text);
  hud->setLabelFont(uikit::Font::boldSystemFontOfSize(14));
  hud->setMinShowTime(minShowSeconds);
  loadingHUDSlot() = hud;
}

}  // namespace app
