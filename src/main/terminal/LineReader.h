#pragma once

// LineReader: where the interactive front end reads what a person types, one line at a time after a
// prompt: plain lines from a stream (StreamLineReader), or lines edited at a terminal (EditingLineReader).
//
// Thread-safety: an implementation is used on one thread.

#include <optional>
#include <string>

namespace terminal {

class LineReader {
 public:
  virtual ~LineReader() = default;

  // Shows `prompt` and returns the next line without its line feed, or std::nullopt at the end of the input.
  virtual std::optional<std::string> readLine(const std::string& prompt) = 0;
};

}  // namespace terminal
