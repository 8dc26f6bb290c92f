#include "learning/live/QMLiveStatusLabel.h"

namespace learning {

void QMLiveStatusLabel::shape(uikit::Label& label) {
  label.layer().setCornerRadius(kCornerRadius);
  label.layer().setBorderWidth(kBorderWidth);
}

void QMLiveStatusLabel::show(uikit::Label& label, std::string text, const uikit::Color& color) {
  label.setText(std::move(text));
  label.setTextColor(color);
  label.layer().setBorderColor(color);
}

void QMLiveStatusLabel::clear(uikit::Label& label) {
  label.setText("");
  label.setTextColor(uikit::Color::black());
  label.layer().setBorderColor(std::nullopt);
}

}  // namespace learning
