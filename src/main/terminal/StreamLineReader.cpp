#include "main/terminal/StreamLineReader.h"

#include "main/terminal/BoundedLine.h"

namespace terminal {

ns::Result<std::optional<std::string>> StreamLineReader::readLine(const std::string& prompt) {
  out_ << prompt << std::flush;
  return readBoundedLine(in_, kLongestLine);
}

void StreamLineReader::printAbovePrompt(const std::string& line) {
  out_ << line << std::endl;
}

}  // namespace terminal
