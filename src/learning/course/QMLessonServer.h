#pragma once

// QMLessonServer: the playback screen's loopback web server for downloaded lessons. It serves the learner's
// own folder (Documents/<userId>), and each lesson under the path of its own folder:
// http://127.0.0.1:<port>/<fileDocment>/index.m3u8. Because every lesson has its own path, a connection the
// player keeps alive from one lesson to the next can never be answered with the previous lesson's files,
// whatever folder the connection took when it was accepted.
//
// The server is made with this object, started on the first offline play, and stops when this object is
// released.
//
// Thread-safety: main thread only (the server's own control calls hop to its queue).

#include <memory>
#include <string>

#include "embedded_server/http/HTTPServer.h"
#include "platform/foundation/values/Result.h"
#include "platform/net/URL.h"

namespace app {
class QMFileCacheInfo;
}  // namespace app

namespace learning {

inline constexpr char kQMLessonServerErrorDomain[] = "com.quillmark.lesson_server";

class QMLessonServer {
 public:
  // The service type the server reports; nothing is published.
  static constexpr char kServiceType[] = "_http._tcp.";
  enum ErrorCode : int { kNoLessonFolder = 1 };

  QMLessonServer();
  QMLessonServer(const QMLessonServer&) = delete;
  QMLessonServer& operator=(const QMLessonServer&) = delete;

  // Returns the URL at which the player finds the playlist of `record`'s downloaded lesson, after starting
  // the server if it is not running and rewriting the lesson's playlist for the lesson's path on it.
  // Fails, with nothing rewritten, when the record names no usable folder (kNoLessonFolder) or the server
  // cannot start; fails with the rewriter's error when the playlist cannot be rewritten.
  ns::Result<ns::URL> playlistURLOf(const app::QMFileCacheInfo& record);

  // Starts the server when it is not running (as on a return to the foreground after the system stopped
  // it). Returns its port, or the error of the start.
  ns::Result<std::uint16_t> runningPort();

  // The server, running from the first offline play on.
  const embedded_server::HTTPServer& server() const { return *server_; }

 private:
  // Constant after construction
  const std::unique_ptr<embedded_server::HTTPServer> server_;
};

}  // namespace learning
