#include "platform/uikit/alerts/AlertView.h"

#include <algorithm>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/render/ScreenText.h"

namespace uikit {
namespace {

std::vector<std::shared_ptr<AlertView>>& visibleList() {
  static std::vector<std::shared_ptr<AlertView>> alerts;
  return alerts;
}

std::vector<std::shared_ptr<AlertView>>& shownList() {
  static std::vector<std::shared_ptr<AlertView>> alerts;
  return alerts;
}

}  // namespace

AlertView::AlertView(std::string title, std::string message, std::weak_ptr<AlertViewDelegate> delegate,
                     std::optional<std::string> cancelButtonTitle, std::vector<std::string> otherButtonTitles)
    : title_(std::move(title)), message_(std::move(message)), delegate_(std::move(delegate)) {
  if (cancelButtonTitle) {
    cancelButtonIndex_ = 0;
    buttonTitles_.push_back(std::move(*cancelButtonTitle));
  }
  for (auto& buttonTitle : otherButtonTitles) {
    buttonTitles_.push_back(std::move(buttonTitle));
  }
}

std::string AlertView::buttonTitleAtIndex(std::int64_t index) const {
  return index >= 0 && index < numberOfButtons() ? buttonTitles_[static_cast<std::size_t>(index)]
                                                 : std::string();
}

std::optional<std::int64_t> AlertView::indexOfButtonTitled(const std::string& title) const {
  const auto found = std::find(buttonTitles_.begin(), buttonTitles_.end(), title);
  if (found == buttonTitles_.end()) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(found - buttonTitles_.begin());
}

void AlertView::show() {
  QM_DCHECK_MAIN_THREAD();
  if (isVisible()) {
    return;
  }
  auto self = std::static_pointer_cast<AlertView>(shared_from_this());
  visibleList().push_back(self);
  auto& shown = shownList();
  shown.push_back(std::move(self));
  if (shown.size() > kShownAlertsKept) {
    shown.erase(shown.begin());
  }
}

bool AlertView::isVisible() const {
  const auto& alerts = visibleList();
  return std::any_of(alerts.begin(), alerts.end(), [this](const auto& alert) { return alert.get() == this; });
}

void AlertView::dismissWithClickedButtonIndex(std::int64_t index, bool) {
  QM_DCHECK_MAIN_THREAD();
  if (!isVisible()) {
    return;
  }
  // Keeps the alert alive until its did-dismiss callback, after the list has let go of it.
  auto self = std::static_pointer_cast<AlertView>(shared_from_this());
  std::erase(visibleList(), self);
  if (auto delegate = delegate_.lock()) {
    delegate->alertViewWillDismissWithButtonIndex(*this, index);
  }
  ns::RunLoop::main().post([self, index] {
    if (auto delegate = self->delegate_.lock()) {
      delegate->alertViewDidDismissWithButtonIndex(*self, index);
    }
  });
}

void AlertView::tapButtonAtIndex(std::int64_t index) {
  QM_DCHECK(isVisible(), "the alert is visible");
  // Keeps the alert alive through the callbacks, which may drop the caller's reference.
  auto self = std::static_pointer_cast<AlertView>(shared_from_this());
  if (auto delegate = delegate_.lock()) {
    delegate->alertViewClickedButtonAtIndex(*this, index);
  }
  dismissWithClickedButtonIndex(index, true);
}

std::vector<std::shared_ptr<AlertView>> AlertView::visibleAlerts() {
  QM_DCHECK_MAIN_THREAD();
  return visibleList();
}

std::vector<std::shared_ptr<AlertView>> AlertView::shownAlerts() {
  QM_DCHECK_MAIN_THREAD();
  return shownList();
}

void AlertView::removeAllForTesting() {
  QM_DCHECK_MAIN_THREAD();
  visibleList().clear();
  shownList().clear();
}

void AlertView::renderInto(ScreenText& text) const {
  std::vector<std::string> parts;
  for (const std::string* part : {&title_, &message_}) {
    if (!part->empty()) {
      parts.push_back(*part);
    }
  }
  std::string buttons;
  for (const auto& buttonTitle : buttonTitles_) {
    buttons += (buttons.empty() ? "[" : " [") + buttonTitle + "]";
  }
  if (!buttons.empty()) {
    parts.push_back(buttons);
  }
  std::string line = "alert:";
  for (std::size_t index = 0; index < parts.size(); ++index) {
    line += (index == 0 ? " " : " | ") + parts[index];
  }
  text.addRawLine(ScreenText::Section::kOnTop, std::move(line));
}

}  // namespace uikit
