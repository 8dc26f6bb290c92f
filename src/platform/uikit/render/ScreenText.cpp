#include "platform/uikit/render/ScreenText.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/render/PrintableText.h"
#include "platform/uikit/views/View.h"

namespace uikit {

void ScreenText::addLine(Section section, std::string_view kind, const View& view, std::string_view content) {
  QM_DCHECK_MAIN_THREAD();
  std::string line(kind);
  if (!view.accessibilityIdentifier().empty()) {
    line += ' ';
    line += view.accessibilityIdentifier();
  }
  line += ':';
  if (!content.empty()) {
    line += ' ';
    line += content;
  }
  addRawLine(section, std::move(line));
}

void ScreenText::addRawLine(Section section, std::string line) {
  QM_DCHECK_MAIN_THREAD();
  sections_[static_cast<std::size_t>(section)].push_back(printableText(line));
}

void ScreenText::addOnTop(const ScreenText& other) {
  QM_DCHECK_MAIN_THREAD();
  std::vector<std::string>& onTop = sections_[static_cast<std::size_t>(Section::kOnTop)];
  for (const auto& lines : other.sections_) {
    onTop.insert(onTop.end(), lines.begin(), lines.end());  // printable already
  }
}

std::string ScreenText::str() const {
  std::string text;
  for (const auto& lines : sections_) {
    for (const auto& line : lines) {
      text += line;
      text += '\n';
    }
  }
  return text;
}

bool ScreenText::empty() const {
  for (const auto& lines : sections_) {
    if (!lines.empty()) {
      return false;
    }
  }
  return true;
}

}  // namespace uikit
