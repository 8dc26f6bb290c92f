#pragma once

// The media of a sample lesson: H.264 video of TestSignal's moving picture and AAC audio of its tone,
// encoded with FFmpeg's libraries into one MPEG transport stream and cut into segments. One muxer run
// writes the whole lesson and the cuts fall just before the keyframe that opens each segment, so the
// timestamps, the PCR and the continuity counters carry on from one segment to the next, and every segment
// opens with the program tables and a keyframe, as a player that starts at any segment needs.
// Thread-safe: pure function of its arguments.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Result.h"

namespace sample_backend::media {

inline constexpr std::size_t kTransportPacketSize = 188;
inline constexpr std::uint8_t kTransportSyncByte = 0x47;
inline constexpr int kLessonFramesPerSecond = 25;
// Names the bytes encodeLesson() makes; raise it whenever they change, so that cached lessons are made anew.
inline constexpr std::uint32_t kLessonEncodingVersion = 1;

struct LessonShape {
  std::size_t segmentCount = 1;
  // Video frames in each segment, at kLessonFramesPerSecond.
  std::size_t framesPerSegment = kLessonFramesPerSecond;
  std::uint32_t seed = 0;

  bool operator==(const LessonShape&) const = default;
};

// Returns the unencrypted segments of the lesson `shape` describes, or the error of the encoder or the
// muxer that failed.
// REQUIRES: shape.segmentCount >= 1 and shape.framesPerSegment >= 1.
ns::Result<std::vector<ns::Data>> encodeLesson(const LessonShape& shape);

}  // namespace sample_backend::media
