#pragma once

// TypedKeys: the keys typed at a terminal as the line editor is to take them. A character comes whole (the
// bytes of a UTF-8 sequence become one code point, which is what the editor expects of a key reader). The
// escape sequences of the keys the editor binds (the arrows, Home, End, Delete, Insert, Page Up and Down,
// Ctrl or Alt with Left and Right) are passed on; those of every other key (the F-keys, Shift with an
// arrow, ...) are dropped whole, so that none leaves a trace in the line. A line that grows past the longest
// is cut there: what is typed after, up to the return key, is dropped, and the line is marked cut.
//
// Thread-safety: used on one thread.

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string_view>

namespace terminal {

class TypedKeys {
 public:
  // Returns the next byte typed, waiting at most `wait` (for ever when negative); std::nullopt when none
  // came in time, at the end of the input, or when the wait was interrupted.
  using ByteSource = std::function<std::optional<unsigned char>(std::chrono::milliseconds wait)>;

  // How long the rest of an escape sequence may take after its escape byte; an escape byte alone (the
  // Escape key) is passed on after it.
  static constexpr std::chrono::milliseconds kSequenceWait{50};

  // Takes the bytes from `source`; lines longer than `longestLine` bytes are cut.
  TypedKeys(std::size_t longestLine, ByteSource source);

  // Returns the next character for the editor, or std::nullopt at the end of the input.
  std::optional<char32_t> next();

  // Starts a new line: the count of its bytes and its cut mark are cleared.
  void startLine();
  // Whether a line typed since startLine() grew past the longest.
  bool lineCut() const { return lineCut_; }

 private:
  std::optional<unsigned char> take(std::chrono::milliseconds wait);
  // Reads the rest of a sequence that began with an escape byte and queues what the editor is to get of it.
  void readEscape();
  // Reads the rest of a character that begins with `lead`; U+FFFD for bytes that are not UTF-8.
  char32_t decode(unsigned char lead);
  // Counts `character`, `length` bytes long, into the line; returns false when it is dropped.
  bool admit(char32_t character, std::size_t length);

  // Constant after construction
  const std::size_t longestLine_;
  const ByteSource source_;

  std::deque<char32_t> queued_;              // characters to hand over before reading more
  std::optional<unsigned char> pushedBack_;  // a byte read ahead, to be read again
  std::size_t lineBytes_ = 0;
  bool dropping_ = false;  // the line being typed grew past the longest
  bool lineCut_ = false;   // a line grew past the longest since startLine()
};

}  // namespace terminal
