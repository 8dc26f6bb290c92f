#include "platform/uikit/render/ScreenRenderer.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/render/ScreenText.h"
#include "platform/uikit/render/VisibleScreen.h"

namespace uikit {

std::string ScreenRenderer::renderKeyWindow() {
  QM_DCHECK_MAIN_THREAD();
  const VisibleScreen screen = VisibleScreen::current();
  if (!screen.window) {
    return "[no window]\n";
  }
  ScreenText text;
  if (screen.contentView) {
    screen.contentView->renderInto(text);
  }
  for (const auto& view : screen.viewsOnTop) {
    ScreenText onTop;
    view->renderInto(onTop);
    text.addOnTop(onTop);
  }
  for (const auto& alert : screen.alerts) {
    alert->renderInto(text);
  }
  const std::string heading =
      screen.contentController ? screen.contentController->className() : "no controller";
  return "[" + heading + "]\n" + text.str();
}

}  // namespace uikit
