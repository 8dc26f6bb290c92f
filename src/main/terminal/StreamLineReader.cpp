#include "main/terminal/StreamLineReader.h"

#include "main/terminal/BoundedLine.h"

namespace terminal {

ns::Result<std::optional<std::string>> StreamLineReader::readLine(const std::string& prompt) {
  out_ << prompt << std::flush;
  return readBoundedLine(in_, kLongestLine);
}

}  // namespace terminal
