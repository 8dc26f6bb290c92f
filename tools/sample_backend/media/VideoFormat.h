#pragma once

// sample_backend::media::VideoFormat: the picture of a sample lesson, its size and frame rate, and the text
// form of its size that a person gives ("1280x720"). Thread-safe: a value and pure functions.

#include <optional>
#include <string>
#include <string_view>

namespace sample_backend::media {

// The default is the largest 16:9 size at which the sample back end's first start, which encodes a minute
// of lesson, stays within a few seconds on a 2-core machine (about 3 seconds; 5 at a lesson recording's
// real size, 1280x720, which is one setting away).
struct VideoFormat {
  int width = 960;
  int height = 540;
  int framesPerSecond = 25;

  bool operator==(const VideoFormat&) const = default;
};

// Returns whether lessons can be encoded in `format`: even sides from 32 to 4096 pixels (the moving square
// needs room, and the 4:2:0 picture halves each side), and 1 to 60 frames a second.
bool isEncodableVideoFormat(const VideoFormat& format);

// Returns "<width>x<height>".
std::string sizeText(const VideoFormat& format);

// Returns `format` with the size that `text` gives as "<width>x<height>", or std::nullopt when the text is
// no such size or lessons cannot be encoded at it.
std::optional<VideoFormat> withSizeText(VideoFormat format, std::string_view text);

}  // namespace sample_backend::media
