#include "main/terminal/StreamLineReader.h"

namespace terminal {

std::optional<std::string> StreamLineReader::readLine(const std::string& prompt) {
  out_ << prompt << std::flush;
  std::string line;
  if (!std::getline(in_, line)) {
    return std::nullopt;
  }
  return line;
}

}  // namespace terminal
