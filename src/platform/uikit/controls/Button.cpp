#include "platform/uikit/controls/Button.h"

#include <algorithm>

#include "platform/foundation/check/Check.h"
#include "platform/uikit/render/ScreenText.h"
#include "platform/uikit/support/TextMeasure.h"

namespace uikit {

Button::Button(Rect frame, ButtonType type)
    : Control(frame), type_(type), titleLabel_(std::make_shared<Label>()) {
  titleLabel_->setFont(Font::systemFontOfSize(type == ButtonType::kSystem ? 15 : 18));
}

void Button::setTitle(std::optional<std::string> title, ControlState state) {
  QM_DCHECK_MAIN_THREAD();
  titles_.set(std::move(title), state);
}

std::string Button::titleForState(ControlState state) const {
  return titles_.get(state).value_or("");
}

void Button::setImage(std::shared_ptr<const Image> image, ControlState state) {
  QM_DCHECK_MAIN_THREAD();
  images_.set(image ? std::optional(std::move(image)) : std::nullopt, state);
}

std::shared_ptr<const Image> Button::imageForState(ControlState state) const {
  return images_.get(state).value_or(nullptr);
}

void Button::setBackgroundImage(std::shared_ptr<const Image> image, ControlState state) {
  QM_DCHECK_MAIN_THREAD();
  backgroundImages_.set(image ? std::optional(std::move(image)) : std::nullopt, state);
}

std::shared_ptr<const Image> Button::backgroundImageForState(ControlState state) const {
  return backgroundImages_.get(state).value_or(nullptr);
}

void Button::setTitleColor(std::optional<Color> color, ControlState state) {
  QM_DCHECK_MAIN_THREAD();
  titleColors_.set(color, state);
}

std::optional<Color> Button::titleColorForState(ControlState state) const {
  return titleColors_.get(state);
}

Rect Button::imageRectForContentRect(Rect contentRect) const {
  const auto image = currentImage();
  const Size size = image ? image->size() : Size{};
  return Rect(contentRect.minX(), contentRect.midY() - size.height / 2, size.width, size.height);
}

Rect Button::titleRectForContentRect(Rect contentRect) const {
  const Rect imageRect = imageRectForContentRect(contentRect);
  return Rect(imageRect.maxX(), contentRect.minY(), std::max(0.0, contentRect.maxX() - imageRect.maxX()),
              contentRect.height());
}

Size Button::sizeThatFits(Size) const {
  const Size title = estimatedTextSize(currentTitle(), titleLabel_->font());
  const auto image = currentImage();
  const Size imageSize = image ? image->size() : Size{};
  return Size{title.width + imageSize.width + titleEdgeInsets_.left + titleEdgeInsets_.right,
              std::max(title.height + titleEdgeInsets_.top + titleEdgeInsets_.bottom, imageSize.height)};
}

void Button::renderInto(ScreenText& text) const {
  std::string shown = currentTitle();
  if (shown.empty()) {
    const auto image = currentImage() ? currentImage() : currentBackgroundImage();
    shown = image ? image->name() : "";
  }
  std::string content = "[" + shown + "]";
  if (!isEnabled()) {
    content += " (disabled)";
  } else if (isSelected()) {
    content += " (selected)";
  }
  text.addLine(ScreenText::Section::kButton, "button", *this, content);
  View::renderInto(text);
}

}  // namespace uikit
