#pragma once

// LineReader: where the interactive front end reads what a person types, one line at a time after a
// prompt: plain lines from a stream (StreamLineReader), or lines edited at a terminal (EditingLineReader).
//
// Thread-safety: an implementation is used on one thread.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "platform/foundation/values/Result.h"

namespace terminal {

class LineReader {
 public:
  // The longest line a reader takes, in bytes: a longer one is refused rather than held in memory.
  static constexpr std::size_t kLongestLine = std::size_t{1} << 20;

  virtual ~LineReader() = default;

  // Shows `prompt` and returns the next line without its line feed; std::nullopt at the end of the input,
  // or when the wait was interrupted. A line longer than kLongestLine is skipped to its end and gives an
  // error (kUsageErrorDomain) that says so.
  virtual ns::Result<std::optional<std::string>> readLine(const std::string& prompt) = 0;

  // Keeps `line` in the history, where the reader has one. The front end leaves secret lines out.
  virtual void remember(const std::string& /*line*/) {}

  // A reader that waits for keys on the main loop, so that the application runs while the person thinks,
  // calls `afterCallback` after each callback the loop runs meanwhile. A reader that blocks (a stream, whose
  // lines are all there) never calls it.
  virtual void watchWhileWaiting(std::function<void()> /*afterCallback*/) {}

  // Writes `line` on a line of its own. While a line is being typed it goes above the prompt, and the
  // prompt and the line typed so far are drawn again under it.
  virtual void printAbovePrompt(const std::string& line) = 0;
};

}  // namespace terminal
