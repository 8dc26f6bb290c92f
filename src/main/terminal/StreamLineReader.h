#pragma once

// StreamLineReader: plain lines from a stream, for scripts piped in and for tests: the prompt goes to the
// output stream, and nothing is edited or remembered.
//
// Thread-safety: not thread-safe; used on one thread.

#include <istream>
#include <ostream>

#include "main/terminal/LineReader.h"

namespace terminal {

class StreamLineReader : public LineReader {
 public:
  // Both streams must outlive the reader.
  StreamLineReader(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

  ns::Result<std::optional<std::string>> readLine(const std::string& prompt) override;
  void printAbovePrompt(const std::string& line) override;

 private:
  std::istream& in_;
  std::ostream& out_;
};

}  // namespace terminal
