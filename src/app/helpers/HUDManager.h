#pragma once

// HUDManager: the application's text toasts and its one loading indicator, both drawn by ui::ProgressHUD.
//
// Toasts go on the first of the application's windows; a text of fewer than 11 characters (UTF-16 code
// units) stays 1.0 second, a longer one 1.5 seconds, unless the caller gives a time. The loading indicator
// is remembered so that hideHUDView() can take it down; showing a new one first hides the one before, so
// that no spinner is left on screen that nothing can hide.
//
// Thread-safety: main thread only.

#include <memory>
#include <string>

#include "platform/uikit/views/View.h"
#include "ui/hud/ProgressHUD.h"

namespace app {

class HUDManager {
 public:
  inline static const std::string kLoadingText = "努力加载中";

  // Shows `text` as a toast for 1.0 s (under 11 characters) or 1.5 s. Does nothing without a window.
  static void showWarningWithText(const std::string& text);
  // Shows `text` as a toast for `seconds` when it has fewer than 11 characters, else for its length / 10
  // whole seconds.
  static void showWarningWithText(const std::string& text, double seconds);

  // Shows the loading indicator over `view`, labelled kLoadingText, for at least 0.3 s once shown.
  static void showLoadingHUDView(uikit::View& view);
  // The same labelled `text`, for at least 0.3 s (under 11 characters) or 1.0 s once shown.
  static void showLoadingHUDView(uikit::View& view, const std::string& text);
  // Hides the loading indicator shown last, if any.
  static void hideHUDView();

  // The loading indicator shown last; nullptr before the first.
  static const std::shared_ptr<ui::ProgressHUD>& currentLoadingHUD();

 private:
  static void showToast(const std::string& text, double seconds);
  static void showLoading(uikit::View& view, const std::string& text, double minShowSeconds);
};

}  // namespace app
