#include "main/terminal/BoundedLine.h"

#include "main/terminal/UsageError.h"

namespace terminal {

ns::Result<std::optional<std::string>> readBoundedLine(std::istream& in, std::size_t longest) {
  std::streambuf* const bytes = in.rdbuf();
  std::string line;
  bool tooLong = false;
  bool readAny = false;
  for (;;) {
    const std::streambuf::int_type next = bytes->sbumpc();
    if (next == std::streambuf::traits_type::eof()) {
      in.setstate(std::ios::eofbit);
      break;
    }
    readAny = true;
    const char byte = std::streambuf::traits_type::to_char_type(next);
    if (byte == '\n') {
      break;
    }
    if (line.size() == longest) {
      tooLong = true;
      line.clear();
    }
    if (!tooLong) {
      line += byte;
    }
  }
  if (!readAny) {
    return std::optional<std::string>();
  }
  if (tooLong) {
    return lineTooLongError(longest);
  }
  return std::optional<std::string>(std::move(line));
}

ns::Error lineTooLongError(std::size_t longest) {
  constexpr std::size_t kMebibyte = std::size_t{1} << 20;
  const std::string size = longest % kMebibyte == 0 ? std::to_string(longest / kMebibyte) + " MiB"
                                                    : std::to_string(longest) + " bytes";
  return usageError("the line is longer than " + size + "; it is left out");
}

}  // namespace terminal
