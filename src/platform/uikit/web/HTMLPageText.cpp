#include "platform/uikit/web/HTMLPageText.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <array>
#include <climits>
#include <memory>
#include <mutex>

namespace uikit {

namespace {

// Elements whose content a reader never sees.
constexpr std::array<std::string_view, 6> kDroppedElements = {"script", "style",    "head",
                                                              "title",  "template", "noscript"};

// Elements that stand on lines of their own.
constexpr std::array<std::string_view, 33> kBlockElements = {
    "address", "article", "aside", "blockquote", "body",   "center", "dd",   "details", "dialog",
    "div",     "dl",      "dt",    "fieldset",   "figure", "footer", "form", "h1",      "h2",
    "h3",      "h4",      "h5",    "h6",         "header", "hr",     "li",   "main",    "nav",
    "ol",      "p",       "pre",   "section",    "table",  "tr"};

template <std::size_t N>
bool isOneOf(std::string_view name, const std::array<std::string_view, N>& names) {
  for (std::string_view candidate : names) {
    if (candidate == name) {
      return true;
    }
  }
  return false;
}

std::string_view nameOf(const xmlNode& node) {
  return node.name ? std::string_view(reinterpret_cast<const char*>(node.name)) : std::string_view();
}

// Gathers text into lines: white space between words becomes one blank, and a line ends only where a block
// or a break says so.
class LineCollector {
 public:
  void addText(std::string_view text) {
    for (char c : text) {
      if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
        blankPending_ = !line_.empty();
        continue;
      }
      if (blankPending_) {
        line_.push_back(' ');
        blankPending_ = false;
      }
      line_.push_back(c);
    }
  }

  void breakLine() {
    if (!line_.empty()) {
      lines_.push_back(std::move(line_));
      line_.clear();
    }
    blankPending_ = false;
  }

  std::vector<std::string> takeLines() {
    breakLine();
    return std::move(lines_);
  }

 private:
  std::vector<std::string> lines_;
  std::string line_;
  bool blankPending_ = false;
};

// Walks the tree under `root` in document order. An explicit stack, not recursion, so that a page nested
// however deeply cannot exhaust the call stack.
void collect(const xmlNode* root, LineCollector& lines) {
  struct Level {
    const xmlNode* next;
    // Whether the element of this level stands on lines of its own, so that its end breaks the line.
    bool block;
  };
  std::vector<Level> levels{{root->children, false}};
  while (!levels.empty()) {
    const xmlNode* node = levels.back().next;
    if (node == nullptr) {
      if (levels.back().block) {
        lines.breakLine();
      }
      levels.pop_back();
      continue;
    }
    levels.back().next = node->next;
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
      if (node->content) {
        lines.addText(reinterpret_cast<const char*>(node->content));
      }
      continue;
    }
    if (node->type != XML_ELEMENT_NODE) {
      continue;
    }
    const std::string_view name = nameOf(*node);
    if (isOneOf(name, kDroppedElements)) {
      continue;
    }
    if (name == "br") {
      lines.breakLine();
      continue;
    }
    if (name == "td" || name == "th") {
      // Cells of a row stand apart by a blank.
      lines.addText(" ");
    }
    const bool block = isOneOf(name, kBlockElements);
    if (block) {
      lines.breakLine();
    }
    levels.push_back({node->children, block});
  }
}

struct DocumentFree {
  void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};

}  // namespace

std::vector<std::string> HTMLPageText::linesOf(std::string_view html, std::string_view encoding) {
  if (html.empty() || html.size() > static_cast<std::size_t>(INT_MAX)) {
    return {};
  }
  // The parser's one-time set-up is not safe to race, so the first call makes it once for all threads.
  static std::once_flag parserReady;
  std::call_once(parserReady, xmlInitParser);
  const std::string encodingName = encoding.empty() ? std::string("UTF-8") : std::string(encoding);
  const std::unique_ptr<xmlDoc, DocumentFree> document(
      htmlReadMemory(html.data(), static_cast<int>(html.size()), nullptr, encodingName.c_str(),
                     HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING));
  if (!document) {
    return {};
  }
  LineCollector lines;
  collect(reinterpret_cast<const xmlNode*>(document.get()), lines);
  return lines.takeLines();
}

}  // namespace uikit
