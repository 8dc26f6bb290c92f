// Reads the input as a web page, in UTF-8 and in the encoding its first byte picks, as the web view shows
// it. Whatever the bytes, the lines must be whole: none empty, none starting or ending with a blank, none
// holding a line feed or two blanks in a row.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "platform/uikit/web/HTMLPageText.h"

namespace {

constexpr std::string_view kEncodings[] = {"", "utf-8", "gbk", "iso-8859-1", "utf-16", "no-such-encoding"};

void checkLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    requireProperty(!line.empty(), "no line is empty");
    requireProperty(line.front() != ' ' && line.back() != ' ', "no line starts or ends with a blank");
    requireProperty(line.find('\n') == std::string::npos, "no line holds a line feed");
    requireProperty(line.find("  ") == std::string::npos, "white space reads as one blank");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view page(reinterpret_cast<const char*>(data), size);
  checkLines(uikit::HTMLPageText::linesOf(page, ""));
  if (size > 0) {
    checkLines(uikit::HTMLPageText::linesOf(page.substr(1), kEncodings[data[0] % std::size(kEncodings)]));
  }
  return 0;
}
