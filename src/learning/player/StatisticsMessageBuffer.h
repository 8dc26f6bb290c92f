#pragma once

// StatisticsMessageBuffer: cuts the bytes that come from the play-statistics server into its messages, each
// of which ends with "|ed#". A read may bring several messages, or part of one; the bytes after the last
// end mark wait for the rest of their message.
// Thread-safety: not thread-safe; owned by one client.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace learning {

class StatisticsMessageBuffer {
 public:
  static constexpr std::string_view kEndMark = "|ed#";
  // The server's messages are a few dozen bytes. Unended bytes beyond this are dropped, so that a peer that
  // never ends a message cannot make the buffer grow without end.
  static constexpr std::size_t kMaximumPendingBytes = 64 * 1024;

  // Appends `bytes` and returns the messages they complete, in order, each with its "|ed#".
  std::vector<std::string> append(std::string_view bytes);

  // Drops the bytes of an unfinished message.
  void clear() { pending_.clear(); }

 private:
  std::string pending_;
};

}  // namespace learning
