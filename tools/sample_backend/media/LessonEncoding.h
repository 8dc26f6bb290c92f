#pragma once

// The media of a sample lesson: H.264 video of TestSignal's moving picture and AAC audio of its tone,
// encoded with FFmpeg's libraries into one MPEG transport stream and cut into segments. One muxer run
// writes the whole lesson and the cuts fall just before the keyframe that opens each segment, so the
// timestamps, the PCR and the continuity counters carry on from one segment to the next, and every segment
// opens with the program tables and a keyframe, as a player that starts at any segment needs.
// Thread-safe: pure function of its arguments.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Result.h"
#include "sample_backend/media/VideoFormat.h"

namespace sample_backend::media {

inline constexpr std::size_t kTransportPacketSize = 188;
inline constexpr std::uint8_t kTransportSyncByte = 0x47;
// Names the bytes encodeLesson() makes; raise it whenever they change, so that cached lessons are made anew.
inline constexpr std::uint32_t kLessonEncodingVersion = 2;

// The frame rate of the default format.
inline constexpr int kLessonFramesPerSecond = VideoFormat{}.framesPerSecond;

struct LessonShape {
  std::size_t segmentCount = 1;
  // Video frames in each segment, at video.framesPerSecond.
  std::size_t framesPerSegment = kLessonFramesPerSecond;
  std::uint32_t seed = 0;
  VideoFormat video = {};

  bool operator==(const LessonShape&) const = default;
};

// Returns a text that names every setting the bytes of `shape`'s lesson depend on besides
// kLessonEncodingVersion: the shape and each encoder's settings. Two shapes give the same text only when
// encodeLesson() makes the same bytes of them.
std::string lessonEncodingDescription(const LessonShape& shape);

// Returns the unencrypted segments of the lesson `shape` describes, or the error of the encoder or the
// muxer that failed.
// REQUIRES: shape.segmentCount >= 1, shape.framesPerSegment >= 1 and isEncodableVideoFormat(shape.video).
ns::Result<std::vector<ns::Data>> encodeLesson(const LessonShape& shape);

}  // namespace sample_backend::media
