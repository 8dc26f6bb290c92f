#include "platform/uikit/driver/Driver.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/foundation/check/Check.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/controls/Control.h"
#include "platform/uikit/controls/SegmentedControl.h"
#include "platform/uikit/controls/TextInput.h"
#include "platform/uikit/driver/TouchCover.h"
#include "platform/uikit/gestures/PanGestureRecognizer.h"
#include "platform/uikit/gestures/TapGestureRecognizer.h"
#include "platform/uikit/render/PrintableText.h"
#include "platform/uikit/render/ScreenRenderer.h"
#include "platform/uikit/render/ScreenText.h"
#include "platform/uikit/render/VisibleScreen.h"
#include "platform/uikit/tables/TableView.h"
#include "platform/uikit/views/ScrollView.h"

namespace uikit {
namespace {

ns::Error driverError(Driver::ErrorCode code, std::string description) {
  return ns::Error(kDriverErrorDomain, code,
                   ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey), std::move(description)}});
}

std::string quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// How a person names an alert: by its title, or by its message when it has none.
std::string alertName(const AlertView& alert) {
  return quoted(alert.title().empty() ? alert.message() : alert.title());
}

// The trees a search walks, front-most first: the views on top, then the screen.
std::vector<std::shared_ptr<View>> searchRoots(const VisibleScreen& screen) {
  std::vector<std::shared_ptr<View>> roots(screen.viewsOnTop.rbegin(), screen.viewsOnTop.rend());
  if (screen.contentView && screen.contentView->isShown()) {
    roots.push_back(screen.contentView);
  }
  return roots;
}

// Returns the first shown view of `root`'s tree, back to front and depth first, for which `matches` holds.
std::shared_ptr<View> firstShown(const std::shared_ptr<View>& root,
                                 const std::function<bool(const std::shared_ptr<View>&)>& matches) {
  if (!root->isShown()) {
    return nullptr;
  }
  if (matches(root)) {
    return root;
  }
  for (const auto& subview : root->subviews()) {
    if (auto found = firstShown(subview, matches)) {
      return found;
    }
  }
  return nullptr;
}

// How a name is compared with the texts on screen: as it stands, or with the blanks around both trimmed (a
// row that indents its text with spaces is still named by the text).
enum class Matching { kExact, kTrimmed };
constexpr Matching kMatchings[] = {Matching::kExact, Matching::kTrimmed};

std::string_view trimmed(std::string_view text) {
  // Spaces, tabs and the ideographic space U+3000.
  constexpr std::string_view kIdeographicSpace = "\u3000";
  for (bool trimming = true; trimming;) {
    trimming = false;
    for (const std::string_view blank : {std::string_view(" "), std::string_view("\t"), kIdeographicSpace}) {
      if (text.starts_with(blank)) {
        text.remove_prefix(blank.size());
        trimming = true;
      }
      if (text.ends_with(blank)) {
        text.remove_suffix(blank.size());
        trimming = true;
      }
    }
  }
  return text;
}

// A text also matches as the screen text shows it (a line break as \n, say), since that is what a person
// reads and types.
bool textMatches(std::string_view text, std::string_view name, Matching matching) {
  const std::string shown = printableText(text);
  if (matching == Matching::kExact) {
    return text == name || shown == name;
  }
  const std::string_view wanted = trimmed(name);
  return !wanted.empty() && (trimmed(text) == wanted || trimmed(shown) == wanted);
}

bool isNamed(const View& view, const std::string& name, Matching matching) {
  if (view.accessibilityIdentifier() == name || textMatches(view.visibleText(), name, matching)) {
    return true;
  }
  // A button without a title shows its picture, and is named by the picture's name, as the screen text shows.
  if (const auto* button = dynamic_cast<const Button*>(&view);
      button != nullptr && button->currentTitle().empty()) {
    const auto image = button->currentImage() ? button->currentImage() : button->currentBackgroundImage();
    if (image && !image->name().empty() && image->name() == name) {
      return true;
    }
  }
  const auto* segments = dynamic_cast<const SegmentedControl*>(&view);
  return segments != nullptr && segments->indexOfSegmentTitled(name).has_value();
}

// How a person names a view that covers another: by its identifier, else by the first text it shows, else
// by its first line of screen text (a loading indicator draws its text itself).
std::string coverName(const View& cover) {
  if (!cover.accessibilityIdentifier().empty()) {
    return quoted(cover.accessibilityIdentifier());
  }
  if (const auto texts = cover.shownTexts(); !texts.empty()) {
    return "the view showing " + quoted(printableText(texts.front()));
  }
  ScreenText screenText;
  cover.renderInto(screenText);
  const std::string lines = screenText.str();
  return lines.empty() ? "a view without text" : quoted(lines.substr(0, lines.find('\n')));
}

// Fails when a view from `view` up does not take touches (a strict ancestor with interaction off blocks
// everything inside it), or when a view in front of it takes the touch first.
ns::Status checkReachable(const View& view, const std::string& name) {
  for (const View* ancestor = view.superview(); ancestor != nullptr; ancestor = ancestor->superview()) {
    if (!ancestor->isUserInteractionEnabled()) {
      return driverError(Driver::kNotTouchable, quoted(name) + " does not take touches now.");
    }
  }
  if (const View* cover = touchCover(view)) {
    return driverError(Driver::kCovered, quoted(name) + " is covered by " + coverName(*cover) + ".");
  }
  return {};
}

std::optional<ns::Error> alertInTheWay(const VisibleScreen& screen) {
  if (screen.alerts.empty()) {
    return std::nullopt;
  }
  return driverError(Driver::kAlertInTheWay,
                     "The alert " + alertName(*screen.alerts.back()) + " is on screen; answer it first.");
}

// Finds the text input named `name` and makes it the first responder.
ns::Result<TextInput*> focusTextInput(const std::string& name) {
  const VisibleScreen screen = VisibleScreen::current();
  if (auto error = alertInTheWay(screen)) {
    return *error;
  }
  auto found = Driver::findView(name);
  if (!found.ok()) {
    return found.error();
  }
  View& view = **found;
  auto* input = dynamic_cast<TextInput*>(&view);
  if (input == nullptr) {
    return driverError(Driver::kNotTextInput, quoted(name) + " does not take typed text.");
  }
  if (auto reachable = checkReachable(view, name); !reachable.ok()) {
    return reachable.error();
  }
  if (auto* control = dynamic_cast<Control*>(&view); control != nullptr && !control->isEnabled()) {
    return driverError(Driver::kDisabled, quoted(name) + " is disabled.");
  }
  if (!view.becomeFirstResponder()) {
    return driverError(Driver::kRefused, quoted(name) + " cannot take the keyboard.");
  }
  return input;
}

struct FoundRow {
  std::shared_ptr<TableView> table;
  std::shared_ptr<TableViewCell> cell;
  IndexPath indexPath;
};

ns::Result<FoundRow> findRow(const std::string& rowText) {
  const VisibleScreen screen = VisibleScreen::current();
  if (auto error = alertInTheWay(screen)) {
    return *error;
  }
  for (const Matching matching : kMatchings) {
    for (const auto& root : searchRoots(screen)) {
      std::optional<FoundRow> found;
      firstShown(root, [&](const std::shared_ptr<View>& view) {
        auto table = std::dynamic_pointer_cast<TableView>(view);
        if (!table) {
          return false;
        }
        for (const auto& cell : table->visibleCells()) {
          const auto texts = cell->shownTexts();
          if (cell->accessibilityIdentifier() == rowText ||
              std::any_of(texts.begin(), texts.end(),
                          [&](const std::string& text) { return textMatches(text, rowText, matching); })) {
            found = FoundRow{table, cell, *table->indexPathForCell(*cell)};
            return true;
          }
        }
        return false;
      });
      if (found) {
        if (auto reachable = checkReachable(*found->cell, rowText); !reachable.ok()) {
          return reachable.error();
        }
        return *found;
      }
    }
  }
  return driverError(Driver::kNoSuchRow, "There is no table row showing " + quoted(rowText) + ".");
}

// Does what a tap on `target` does, or what it does to the first view up from it that takes taps.
ns::Status deliverTap(View& target, const std::string& name) {
  for (View* view = &target; view != nullptr; view = view->superview()) {
    if (auto* control = dynamic_cast<Control*>(view)) {
      if (!control->isEnabled()) {
        return driverError(Driver::kDisabled, quoted(name) + " is disabled.");
      }
      control->performTap();
      return {};
    }
    if (dynamic_cast<TextInput*>(view) != nullptr) {
      view->becomeFirstResponder();
      return {};
    }
    for (const auto& recognizer : view->gestureRecognizers()) {
      auto* tapRecognizer = dynamic_cast<TapGestureRecognizer*>(recognizer.get());
      if (tapRecognizer != nullptr && tapRecognizer->isEnabled()) {
        tapRecognizer->simulateTap(Point{view->bounds().midX(), view->bounds().midY()});
        return {};
      }
    }
    if (auto* cell = dynamic_cast<TableViewCell*>(view)) {
      if (auto* table = dynamic_cast<TableView*>(cell->superview())) {
        if (auto path = table->indexPathForCell(*cell)) {
          table->tapRowAtIndexPath(*path);
          return {};
        }
      }
    }
  }
  return driverError(Driver::kNotTouchable, quoted(name) + " does not respond to a tap.");
}

// The scroll view a finger touching the view named `name` would move: that view or the one it lies in.
ns::Result<ScrollView*> scrollViewToTouch(const std::string& name) {
  if (auto error = alertInTheWay(VisibleScreen::current())) {
    return *error;
  }
  auto found = Driver::findView(name);
  if (!found.ok()) {
    return found.error();
  }
  View* view = found->get();
  while (view != nullptr && dynamic_cast<ScrollView*>(view) == nullptr) {
    view = view->superview();
  }
  auto* scroll = static_cast<ScrollView*>(view);
  if (scroll == nullptr || !scroll->isScrollEnabled()) {
    return driverError(Driver::kNotScrollable, quoted(name) + " lies in nothing that scrolls.");
  }
  if (!scroll->isUserInteractionEnabled()) {
    return driverError(Driver::kNotTouchable, quoted(name) + " does not take touches now.");
  }
  if (auto reachable = checkReachable(*scroll, name); !reachable.ok()) {
    return reachable.error();
  }
  return scroll;
}

// The back or leave button a screen draws itself (one without a navigation bar: the player, a live class),
// front-most first, hidden or not: controls that hide after a while still lead back.
Control* ownBackButton(const VisibleScreen& screen) {
  const std::function<Control*(View&)> find = [&find](View& view) -> Control* {
    const std::string& identifier = view.accessibilityIdentifier();
    if (identifier == Driver::kBackButtonIdentifier || identifier == Driver::kLeaveButtonIdentifier) {
      if (auto* control = dynamic_cast<Control*>(&view)) {
        return control;
      }
    }
    for (const auto& subview : view.subviews()) {
      if (Control* found = find(*subview)) {
        return found;
      }
    }
    return nullptr;
  };
  for (const auto& root : searchRoots(screen)) {
    if (Control* found = find(*root)) {
      return found;
    }
  }
  return nullptr;
}

}  // namespace

std::string Driver::screenText() {
  QM_DCHECK_MAIN_THREAD();
  return ScreenRenderer::renderKeyWindow();
}

ns::Result<std::shared_ptr<View>> Driver::findView(const std::string& name) {
  QM_DCHECK_MAIN_THREAD();
  const VisibleScreen screen = VisibleScreen::current();
  for (const Matching matching : kMatchings) {
    for (const auto& root : searchRoots(screen)) {
      if (auto found = firstShown(
              root, [&](const std::shared_ptr<View>& view) { return isNamed(*view, name, matching); })) {
        return found;
      }
    }
  }
  return driverError(kNoSuchView, "There is no view with the text or identifier " + quoted(name) + ".");
}

ns::Result<std::shared_ptr<const Image>> Driver::livePicture() {
  QM_DCHECK_MAIN_THREAD();
  const VisibleScreen screen = VisibleScreen::current();
  std::shared_ptr<const Image> picture;
  for (const auto& root : searchRoots(screen)) {
    const auto hasPicture = [&](const std::shared_ptr<View>& view) {
      picture = view->livePicture();
      return picture != nullptr;
    };
    if (firstShown(root, hasPicture)) {
      return picture;
    }
  }
  return driverError(kNoLivePicture, "No view on screen shows a live picture (a playing video).");
}

ns::Status Driver::tap(const std::string& name) {
  QM_DCHECK_MAIN_THREAD();
  const VisibleScreen screen = VisibleScreen::current();
  if (!screen.alerts.empty()) {
    const auto& alert = screen.alerts.back();
    if (auto index = alert->indexOfButtonTitled(name)) {
      alert->tapButtonAtIndex(*index);
      return {};
    }
    return *alertInTheWay(screen);
  }
  auto found = findView(name);
  if (!found.ok()) {
    return found.error();
  }
  View& view = **found;
  if (auto reachable = checkReachable(view, name); !reachable.ok()) {
    return reachable;
  }
  if (auto* segments = dynamic_cast<SegmentedControl*>(&view)) {
    if (auto index = segments->indexOfSegmentTitled(name)) {
      if (!segments->isEnabled()) {
        return driverError(kDisabled, quoted(name) + " is disabled.");
      }
      segments->tapSegment(*index);
      return {};
    }
  }
  // A view with interaction off lets the touch through to the view it lies in.
  View* target = view.isUserInteractionEnabled() ? &view : view.superview();
  if (target == nullptr) {
    return driverError(kNotTouchable, quoted(name) + " does not respond to a tap.");
  }
  return deliverTap(*target, name);
}

ns::Status Driver::pan(const std::string& name, Point translation, PanStart start) {
  QM_DCHECK_MAIN_THREAD();
  if (auto error = alertInTheWay(VisibleScreen::current())) {
    return *error;
  }
  auto found = findView(name);
  if (!found.ok()) {
    return found.error();
  }
  if (auto reachable = checkReachable(**found, name); !reachable.ok()) {
    return reachable;
  }
  std::shared_ptr<View> surface;
  std::shared_ptr<PanGestureRecognizer> pan;
  for (View* view = found->get(); view != nullptr && !pan; view = view->superview()) {
    for (const auto& recognizer : view->gestureRecognizers()) {
      auto panRecognizer = std::dynamic_pointer_cast<PanGestureRecognizer>(recognizer);
      if (panRecognizer && panRecognizer->isEnabled()) {
        surface = std::static_pointer_cast<View>(view->shared_from_this());
        pan = std::move(panRecognizer);
        break;
      }
    }
  }
  if (!pan) {
    // Nothing on the way takes a pan itself: the list or other scrolling view it lies in follows the finger.
    View* view = found->get();
    while (view != nullptr && dynamic_cast<ScrollView*>(view) == nullptr) {
      view = view->superview();
    }
    auto* scroll = static_cast<ScrollView*>(view);
    if (scroll == nullptr || !scroll->isScrollEnabled() || !scroll->isUserInteractionEnabled()) {
      return driverError(kNotTouchable, quoted(name) + " does not respond to a pan.");
    }
    scroll->scrollBy(-translation.y);
    return {};
  }
  const Rect bounds = surface->bounds();
  const double startX = start == PanStart::kLeftHalf    ? bounds.width() / 4
                        : start == PanStart::kRightHalf ? bounds.width() * 3 / 4
                                                        : bounds.midX();
  const Point from{bounds.minX() + startX, bounds.midY()};
  const double length = std::hypot(translation.x, translation.y);
  const Point velocity =
      length > 0 ? Point{translation.x / length * kFingerSpeed, translation.y / length * kFingerSpeed}
                 : Point{};
  pan->simulatePan(GestureState::kBegan, Point{}, Point{}, from);
  // The finger moves at an even speed, one event a step, as the screen reports a moving touch.
  const int steps = static_cast<int>(std::ceil(length / kPanStep));
  for (int step = 1; step <= steps; ++step) {
    const double done = std::min(1.0, step * kPanStep / length);
    const Point moved{translation.x * done, translation.y * done};
    pan->simulatePan(GestureState::kChanged, moved, velocity, Point{from.x + moved.x, from.y + moved.y});
  }
  pan->simulatePan(GestureState::kEnded, translation, Point{},
                   Point{from.x + translation.x, from.y + translation.y});
  return {};
}

ns::Status Driver::type(const std::string& name, const std::string& text) {
  QM_DCHECK_MAIN_THREAD();
  auto input = focusTextInput(name);
  if (!input.ok()) {
    return input.error();
  }
  if (!(*input)->replaceTextByTyping(text)) {
    return driverError(kRefused, quoted(name) + " refused the text " + quoted(text) + ".");
  }
  return {};
}

ns::Status Driver::pressReturn(const std::string& name) {
  QM_DCHECK_MAIN_THREAD();
  auto input = focusTextInput(name);
  if (!input.ok()) {
    return input.error();
  }
  (*input)->pressReturnKey();
  return {};
}

ns::Status Driver::selectRow(const std::string& rowText) {
  QM_DCHECK_MAIN_THREAD();
  auto row = findRow(rowText);
  if (!row.ok()) {
    return row.error();
  }
  row->table->tapRowAtIndexPath(row->indexPath);
  return {};
}

ns::Status Driver::swipeDeleteRow(const std::string& rowText) {
  QM_DCHECK_MAIN_THREAD();
  auto row = findRow(rowText);
  if (!row.ok()) {
    return row.error();
  }
  if (!row->table->swipeRowAndTapFirstAction(row->indexPath)) {
    return driverError(kRowNotDeletable, "The row showing " + quoted(rowText) + " cannot be swiped away.");
  }
  return {};
}

ns::Status Driver::pullDown(const std::string& name) {
  QM_DCHECK_MAIN_THREAD();
  auto scroll = scrollViewToTouch(name);
  if (!scroll.ok()) {
    return scroll.error();
  }
  (*scroll)->pullDown(kPullDistance);
  return {};
}

ns::Status Driver::scrollToBottom(const std::string& name) {
  QM_DCHECK_MAIN_THREAD();
  auto scroll = scrollViewToTouch(name);
  if (!scroll.ok()) {
    return scroll.error();
  }
  ScrollView& scrollView = **scroll;
  scrollView.layoutIfNeeded();
  const double end = std::max(0.0, scrollView.contentSize().height - scrollView.frame().height());
  const double x = scrollView.contentOffset().x;
  scrollView.setContentOffset(Point{x, end + kScrollBounce});
  scrollView.setContentOffset(Point{x, end});
  return {};
}

ns::Status Driver::answerAlert(const std::string& buttonTitle) {
  QM_DCHECK_MAIN_THREAD();
  const auto alerts = AlertView::visibleAlerts();
  if (alerts.empty()) {
    return driverError(kNoAlert, "No alert is on screen.");
  }
  const auto& alert = alerts.back();
  const auto index = alert->indexOfButtonTitled(buttonTitle);
  if (!index) {
    return driverError(kNoSuchAlertButton,
                       "The alert " + alertName(*alert) + " has no button " + quoted(buttonTitle) + ".");
  }
  alert->tapButtonAtIndex(*index);
  return {};
}

ns::Status Driver::goBack() {
  QM_DCHECK_MAIN_THREAD();
  const VisibleScreen screen = VisibleScreen::current();
  if (auto error = alertInTheWay(screen)) {
    return *error;
  }
  if (Control* own = ownBackButton(screen)) {
    if (!own->isEnabled()) {
      return driverError(kDisabled,
                         "The screen's " + quoted(own->accessibilityIdentifier()) + " is disabled.");
    }
    own->performTap();
    return {};
  }
  NavigationController* navigation =
      screen.contentController ? screen.contentController->navigationController() : nullptr;
  if (navigation == nullptr || navigation->isNavigationBarHidden()) {
    return driverError(kNothingToGoBackTo, "This screen has no way back.");
  }
  const auto top = navigation->topViewController();
  if (const auto& left = top->navigationItem().leftBarButtonItem()) {
    left->sendAction();
    return {};
  }
  if (navigation->viewControllers().size() > 1 && !top->navigationItem().hidesBackButton()) {
    navigation->popViewControllerAnimated(true);
    return {};
  }
  return driverError(kNothingToGoBackTo, "This screen has no way back.");
}

ns::Status Driver::waitForText(const std::string& text, ns::Duration timeout) {
  QM_DCHECK_MAIN_THREAD();
  const bool appeared =
      ns::RunLoop::main().runUntil([&text] { return screenText().find(text) != std::string::npos; }, timeout);
  if (!appeared) {
    return driverError(kTimedOut, "The text " + quoted(text) + " did not appear in time.");
  }
  return {};
}

void Driver::wait(ns::Duration duration) {
  QM_DCHECK_MAIN_THREAD();
  ns::RunLoop::main().runUntil([] { return false; }, duration);
}

}  // namespace uikit
