#pragma once

// StatisticsServer: the play-statistics server of the sample back end. It speaks the statistics protocol
// over plain TCP: it answers a login ("cltlgn|ok|ed#") with an assigned id and a token, accepts a play
// record ("cltdat|...|ed#") with "insres|success|ed#" only when it carries the id of its connection and the
// client token made from them (Base64 of the SHA-1 of id and token), and answers a heartbeat
// ("clthbk|<id>|ed#") with "htbscs|ok|ed#". Every message ends with "|ed#"; several may come in one read.
// A connection that sends nothing for kIdleTimeout, or more than 64 KiB with no end mark, is closed.
//
// It runs on a thread of its own and stops when destroyed. Its test controls let a test withhold
// heartbeat answers, replace the login reply, gather replies into one write, and close every connection.
// Thread-safety: every method may be called from any thread.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/values/Result.h"

class StatisticsServer {
 public:
  // Three heartbeat intervals of the client.
  static constexpr std::chrono::milliseconds kIdleTimeout = std::chrono::minutes(3);

  // Starts a server listening on 127.0.0.1:`port`; port 0 lets the system pick a free one. Returns the
  // running server, owned by the caller, or the error that kept it from listening.
  static ns::Result<std::unique_ptr<StatisticsServer>> start(std::uint16_t port = 0);
  ~StatisticsServer();

  std::uint16_t port() const;

  // Every message received so far on any connection, in order, each with its "|ed#".
  std::vector<std::string> receivedMessages() const;
  // The play records accepted so far, as received.
  std::vector<std::string> acceptedRecords() const;
  // How many logins have been answered.
  std::size_t loginCount() const;

  // Calls `handler` on the server's thread after every connection, message and close, so that a test can
  // wake the loop it waits on.
  void setActivityHandler(std::function<void()> handler);
  // While false, heartbeats go unanswered. True at start.
  void setAnswersHeartbeats(bool answers);
  // Answers logins with `reply` instead of an id and a token; an empty text restores the real reply.
  void setLoginReplyForTesting(std::string reply);
  // While held, replies are kept back; releasing sends all of them in one write per connection.
  void holdRepliesForTesting();
  void releaseRepliesForTesting();
  // Closes every open connection.
  void closeConnectionsForTesting();
  // Replaces kIdleTimeout from the next read of every connection on.
  void setIdleTimeoutForTesting(std::chrono::milliseconds timeout);

 private:
  class Impl;
  explicit StatisticsServer(std::unique_ptr<Impl> impl);

  std::unique_ptr<Impl> impl_;
};
