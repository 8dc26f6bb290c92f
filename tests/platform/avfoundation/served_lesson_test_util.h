#pragma once

// avtest::serveLesson: puts a lesson's segments on a loopback server as an encrypted HLS lesson, the way
// the back end serves one: a playlist, its AES-128 key and the encrypted segments.

#include <string>
#include <vector>

#include "platform/foundation/crypto/Aes128Cbc.h"
#include "platform/foundation/crypto/Hex.h"
#include "platform/foundation/values/Data.h"
#include "support/loopback_http_server.h"

namespace avtest {

inline const ns::Data kLessonKey = ns::dataFromString("0123456789abcdef");
inline const ns::Data kLessonIV = ns::dataFromString("fedcba9876543210");

// Serves `segments`, encrypted, as the lesson at "/<name>/index.m3u8", each segment `segmentSeconds` long;
// returns the playlist's URL.
inline std::string serveLesson(testsupport::LoopbackHTTPServer& server, const std::string& name,
                               const std::vector<ns::Data>& segments, double segmentSeconds) {
  std::string playlist = "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXT-X-KEY:METHOD=AES-128,URI=\"k.bin\",IV=0x" +
                         ns::hexString(kLessonIV) + "\n";
  for (std::size_t index = 0; index < segments.size(); ++index) {
    const std::string segment = "s" + std::to_string(index) + ".ts";
    playlist += "#EXTINF:" + std::to_string(segmentSeconds) + ",\n" + segment + "\n";
    server.route("/" + name + "/" + segment,
                 testsupport::TestResponse::text(
                     200, ns::stringFromData(*ns::aes128CbcEncrypt(kLessonKey, kLessonIV, segments[index]))));
  }
  server.route("/" + name + "/index.m3u8",
               testsupport::TestResponse::text(200, playlist + "#EXT-X-ENDLIST\n"));
  server.route("/" + name + "/k.bin", testsupport::TestResponse::text(200, ns::stringFromData(kLessonKey)));
  return server.url("/" + name + "/index.m3u8");
}

}  // namespace avtest
