#pragma once

// uikit::HTMLPageText: the text a person reads on an HTML page, line by line, as the web view shows it. The
// page is parsed with libxml2's forgiving HTML parser with network access off (no DTD or other resource is
// ever fetched) and no entity of a document type expanded; the parser's complaints are not printed. Scripts,
// styles and the head are dropped, and so are comments. Each block (a paragraph, a heading, a list item, a
// table row and the like) and each line break starts a new line, and the cells of a row stand apart by a
// blank; runs of white space read as one blank, and blank lines are left out.
//
// Thread-safety: any thread (the parser keeps no state between calls).

#include <string>
#include <string_view>
#include <vector>

namespace uikit {

class HTMLPageText {
 public:
  // Returns the lines of text of the page `html`, read in `encoding` (a character-set name such as "utf-8"
  // or "gbk"; UTF-8 when empty). Returns no lines for a page without text or bytes that are no page at all.
  static std::vector<std::string> linesOf(std::string_view html, std::string_view encoding);
};

}  // namespace uikit
