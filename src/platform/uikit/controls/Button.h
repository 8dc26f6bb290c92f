#pragma once

// uikit::Button: a control with a title, an image, a background image and a title colour per control state,
// each falling back to the normal state's. A tap sends touch-down and then touch-up-inside. Its screen-text
// line is "button <id>: [<title>]", followed by " (disabled)" or " (selected)" in those states; a button
// without a title shows its image's name instead.
//
// Thread-safety: main thread only, like every class of uikit.

#include <memory>
#include <optional>
#include <string>

#include "platform/uikit/controls/Control.h"
#include "platform/uikit/controls/ControlStateTable.h"
#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/views/Label.h"

namespace uikit {

enum class ButtonType : int { kCustom = 0, kSystem = 1 };

class Button : public Control {
 public:
  explicit Button(Rect frame = {}, ButtonType type = ButtonType::kCustom);

  ButtonType buttonType() const { return type_; }

  // Per-state values; std::nullopt or nullptr removes a state's own value.
  void setTitle(std::optional<std::string> title, ControlState state);
  std::string titleForState(ControlState state) const;
  void setImage(std::shared_ptr<const Image> image, ControlState state);
  std::shared_ptr<const Image> imageForState(ControlState state) const;
  void setBackgroundImage(std::shared_ptr<const Image> image, ControlState state);
  std::shared_ptr<const Image> backgroundImageForState(ControlState state) const;
  void setTitleColor(std::optional<Color> color, ControlState state);
  std::optional<Color> titleColorForState(ControlState state) const;

  // The values of the current state.
  std::string currentTitle() const { return titleForState(state()); }
  std::shared_ptr<const Image> currentImage() const { return imageForState(state()); }
  std::shared_ptr<const Image> currentBackgroundImage() const { return backgroundImageForState(state()); }

  // The label that draws the title; screens set its font. Owned by the button.
  Label& titleLabel() { return *titleLabel_; }
  const Label& titleLabel() const { return *titleLabel_; }
  EdgeInsets titleEdgeInsets() const { return titleEdgeInsets_; }
  void setTitleEdgeInsets(EdgeInsets insets) { titleEdgeInsets_ = insets; }

  // Where the image and the title go inside `contentRect`; subclasses move them. By default the image sits at
  // the left and the title fills the rest.
  virtual Rect imageRectForContentRect(Rect contentRect) const;
  virtual Rect titleRectForContentRect(Rect contentRect) const;

  Size sizeThatFits(Size size) const override;
  void renderInto(ScreenText& text) const override;
  std::string visibleText() const override { return currentTitle(); }

 private:
  ButtonType type_;
  ControlStateTable<std::string> titles_;
  ControlStateTable<std::shared_ptr<const Image>> images_;
  ControlStateTable<std::shared_ptr<const Image>> backgroundImages_;
  ControlStateTable<Color> titleColors_;
  std::shared_ptr<Label> titleLabel_;
  EdgeInsets titleEdgeInsets_;
};

}  // namespace uikit
