#pragma once

// uikit::TextField: a one-line text input with a placeholder, secure entry and a return key. It takes typed
// text while it is the first responder (which raises the keyboard). Editing sends the editing control events
// and tells the delegate. Its screen-text line is "field <id>: <text>", with one "•" per character for secure
// entry, or "(<placeholder>)" while it is empty.
//
// Thread-safety: main thread only, like every class of uikit.

#include <memory>
#include <optional>
#include <string>

#include "platform/uikit/controls/Control.h"
#include "platform/uikit/controls/TextFieldDelegate.h"
#include "platform/uikit/controls/TextInput.h"
#include "platform/uikit/drawing/AttributedString.h"
#include "platform/uikit/drawing/Font.h"
#include "platform/uikit/views/Label.h"

namespace uikit {

enum class ReturnKeyType : int { kDefault = 0, kGo = 1, kNext = 4, kSearch = 6, kSend = 7, kDone = 9 };

class TextField : public Control, public TextInput {
 public:
  explicit TextField(Rect frame = {});

  const std::string& text() const { return text_; }
  // Sets the text without telling the delegate or sending events, as the platform's setter does.
  void setText(std::string text);
  const std::optional<AttributedString>& attributedText() const { return attributedText_; }
  void setAttributedText(AttributedString text);
  const std::string& placeholder() const { return placeholder_; }
  void setPlaceholder(std::string placeholder) { placeholder_ = std::move(placeholder); }
  bool isSecureTextEntry() const { return secureTextEntry_; }
  void setSecureTextEntry(bool secure) { secureTextEntry_ = secure; }
  // `text` as a secure field shows it: one bullet per UTF-16 unit.
  static std::string bullets(const std::string& text);
  // Whether the text is the person's own (a real name, an identity-card number): shown, but kept out of
  // what is remembered of the typing, like a secure field's (the terminal's history).
  bool holdsPersonalData() const { return holdsPersonalData_; }
  void setHoldsPersonalData(bool personal) { holdsPersonalData_ = personal; }
  ReturnKeyType returnKeyType() const { return returnKeyType_; }
  void setReturnKeyType(ReturnKeyType type) { returnKeyType_ = type; }
  const Font& font() const { return font_; }
  void setFont(Font font) { font_ = font; }
  const std::optional<Color>& textColor() const { return textColor_; }
  void setTextColor(std::optional<Color> color) { textColor_ = std::move(color); }
  TextAlignment textAlignment() const { return textAlignment_; }
  void setTextAlignment(TextAlignment alignment) { textAlignment_ = alignment; }

  const std::weak_ptr<TextFieldDelegate>& delegate() const { return delegate_; }
  void setDelegate(std::weak_ptr<TextFieldDelegate> delegate) { delegate_ = std::move(delegate); }

  bool canBecomeFirstResponder() const override { return isEnabled(); }
  // Asks textFieldShouldChangeCharactersInRange() for the whole text, then sets it and sends editing-changed.
  bool replaceTextByTyping(const std::string& text) override;
  // Asks textFieldShouldReturn(), then sends editing-did-end-on-exit when it answered true.
  bool pressReturnKey() override;
  // A tap makes the field the first responder.
  void performTap() override;

  void renderInto(ScreenText& text) const override;
  std::string visibleText() const override;

 protected:
  void didBecomeFirstResponder() override;
  void didResignFirstResponder() override;

 private:
  std::string text_;
  std::optional<AttributedString> attributedText_;
  std::string placeholder_;
  bool secureTextEntry_ = false;
  bool holdsPersonalData_ = false;
  ReturnKeyType returnKeyType_ = ReturnKeyType::kDefault;
  Font font_ = Font::systemFontOfSize(17);
  std::optional<Color> textColor_;
  TextAlignment textAlignment_ = TextAlignment::kLeft;
  std::weak_ptr<TextFieldDelegate> delegate_;
};

}  // namespace uikit
