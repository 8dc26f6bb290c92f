#pragma once

// uikit::TextView: a scrolling, many-line text input. It takes typed text while it is the first responder
// (which raises the keyboard) and tells its delegate about editing; the return key types a line feed. Its
// screen-text line is "field <id>: <text>".
//
// Thread-safety: main thread only, like every class of uikit.

#include <memory>
#include <string>

#include "platform/uikit/controls/TextInput.h"
#include "platform/uikit/controls/TextViewDelegate.h"
#include "platform/uikit/drawing/Font.h"
#include "platform/uikit/views/ScrollView.h"

namespace uikit {

class TextView : public ScrollView, public TextInput {
 public:
  explicit TextView(Rect frame = {});

  const std::string& text() const { return text_; }
  // Sets the text without telling the delegate, as the platform's setter does.
  void setText(std::string text) { text_ = std::move(text); }
  const Font& font() const { return font_; }
  void setFont(Font font) { font_ = font; }
  bool isEditable() const { return editable_; }
  void setEditable(bool editable) { editable_ = editable; }

  const std::weak_ptr<TextViewDelegate>& delegate() const { return delegate_; }
  void setDelegate(std::weak_ptr<TextViewDelegate> delegate) { delegate_ = std::move(delegate); }

  bool canBecomeFirstResponder() const override { return editable_; }
  // Asks textViewShouldChangeTextInRange() for the whole text, then sets it and calls textViewDidChange().
  bool replaceTextByTyping(const std::string& text) override;
  // Types a line feed at the end of the text; returns whether the delegate let it in.
  bool pressReturnKey() override;

  void renderInto(ScreenText& text) const override;
  std::string visibleText() const override { return text_; }

 protected:
  void didBecomeFirstResponder() override;
  void didResignFirstResponder() override;

 private:
  // Replaces the text from the UTF-16 unit `location` to its end by `replacement`, when the delegate allows
  // it. REQUIRES: location <= the text's length.
  bool typeReplacingTail(std::size_t location, const std::string& replacement);

  std::string text_;
  Font font_ = Font::systemFontOfSize(12);
  bool editable_ = true;
  std::weak_ptr<TextViewDelegate> delegate_;
};

}  // namespace uikit
