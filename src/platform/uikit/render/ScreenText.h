#pragma once

// uikit::ScreenText: the text form of a screen, built by the views as they are visited (View::renderInto())
// and read as one string. Lines are grouped by kind, in a fixed order, so the same screen always reads the
// same: titles, labels, buttons, field contents, switches, progress, tables, and what lies on top (toasts,
// panels, alerts). Within a kind, lines keep the order in which the views were visited (back to front).
//
// A view's line reads "<kind> <accessibility identifier>: <content>", or "<kind>: <content>" for a view
// without an identifier; without content it ends at the colon. Every line goes through printableText()
// (PrintableText.h), so that one view is one line of the screen text, whatever its text holds, and nothing
// in it acts on the terminal it is printed on.
//
// Thread-safety: a plain value; main thread only while views write to it.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace uikit {

class View;

class ScreenText {
 public:
  enum class Section { kTitle, kLabel, kButton, kField, kSwitch, kProgress, kTable, kOnTop };

  // Adds the line of `view`, as the header comment describes, to `section`.
  void addLine(Section section, std::string_view kind, const View& view, std::string_view content);
  // Adds `line`, made printable.
  void addRawLine(Section section, std::string line);
  // Appends every line of `other`, in its order, to the kOnTop section of this text.
  void addOnTop(const ScreenText& other);

  // The lines, each ended by a line feed, kinds in the order above.
  std::string str() const;
  bool empty() const;

 private:
  static constexpr std::size_t kSectionCount = static_cast<std::size_t>(Section::kOnTop) + 1;

  std::array<std::vector<std::string>, kSectionCount> sections_;
};

}  // namespace uikit
