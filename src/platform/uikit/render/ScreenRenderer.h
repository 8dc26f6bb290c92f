#pragma once

// uikit::ScreenRenderer: draws the key window as text, the terminal front end's screen and the end-to-end
// tests' view of the application. The first line names the class of the controller on screen, as
// "[QMUserLogController]"; then come the lines of ScreenText.h: titles, labels, buttons, field contents,
// switches, progress, tables, and then what lies on top (views put on the window in front of the screen, such
// as toasts, and then the platform alerts). Without a key window the text is "[no window]"; without a root
// controller, "[no controller]" and what lies on top.
//
// Rendering runs the window's pending layout and drawing pass first (VisibleScreen.h), as the screen would be
// drawn before a person sees it.
//
// Thread-safety: main thread only, like every class of uikit.

#include <string>

namespace uikit {

class ScreenRenderer {
 public:
  // Returns the text of the key window, each line ended by a line feed.
  static std::string renderKeyWindow();
};

}  // namespace uikit
