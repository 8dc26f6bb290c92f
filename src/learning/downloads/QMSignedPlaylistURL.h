#pragma once

// QMSignedPlaylistURL: the signed playlist URL of a lesson, the URL the back end's playlist service
// ("/class/video/get/m3u8/v2" on the public web host) answers. The download manager asks for it to store a
// lesson; the playback screen asks for it to play a lesson online.
//
// The query carries the learner's session and id, the lesson's video and node ids, the server time and the
// fixed player options, then "sign", the request sign of all the other pairs computed over their raw
// values (QMNetworkHelper::networkSignParam). In the URL every key and value is percent-encoded, so that a
// value holding "&", "=", "," or a space reaches the back end as it was signed.
//
// Thread-safety: main thread only (it reads the session).

#include <string>

namespace app {
class QMCourse;
}  // namespace app

namespace learning {

class QMSignedPlaylistURL {
 public:
  // Who asks: the query's "online" is "false" for a download and "true" for online play.
  enum class Use { kDownload, kOnlinePlay };

  // Returns the signed playlist URL of `lesson` for `serverTime`, the seconds that "/common/get/time"
  // answered (written as the number's text, a whole number without a fraction). A missing value (no
  // session, no video id) leaves its pair out.
  static std::string m3u8VideoURLWithServerTime(const app::QMCourse& lesson, double serverTime, Use use);
};

}  // namespace learning
