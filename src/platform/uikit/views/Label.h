#pragma once

// uikit::Label: a view that shows text, plain or attributed. Labels let touches pass to the view behind them
// (user interaction is off), as on the platform. Its screen-text line is "label <id>: <text>"; an empty label
// has none.
//
// Thread-safety: main thread only, like every class of uikit.

#include <optional>
#include <string>

#include "platform/uikit/drawing/AttributedString.h"
#include "platform/uikit/drawing/Font.h"
#include "platform/uikit/views/View.h"

namespace uikit {

enum class TextAlignment : int { kLeft = 0, kCenter = 1, kRight = 2 };

class Label : public View {
 public:
  explicit Label(Rect frame = {});

  const std::string& text() const { return text_; }
  // Sets plain text; an attributed text set before is dropped.
  void setText(std::string text);
  const std::optional<AttributedString>& attributedText() const { return attributedText_; }
  // Sets attributed text; text() then reads its string.
  void setAttributedText(AttributedString text);
  const Font& font() const { return font_; }
  void setFont(Font font) { font_ = font; }
  const Color& textColor() const { return textColor_; }
  void setTextColor(Color color) { textColor_ = color; }
  TextAlignment textAlignment() const { return textAlignment_; }
  void setTextAlignment(TextAlignment alignment) { textAlignment_ = alignment; }
  // 0 means as many lines as the text needs.
  int numberOfLines() const { return numberOfLines_; }
  void setNumberOfLines(int lines) { numberOfLines_ = lines; }

  Size sizeThatFits(Size size) const override;
  void renderInto(ScreenText& text) const override;
  std::string visibleText() const override { return text_; }

 private:
  std::string text_;
  std::optional<AttributedString> attributedText_;
  Font font_ = Font::systemFontOfSize(17);
  Color textColor_ = Color::black();
  TextAlignment textAlignment_ = TextAlignment::kLeft;
  int numberOfLines_ = 1;
};

}  // namespace uikit
