#include "sample_backend/media/VideoFormat.h"

#include <charconv>

namespace sample_backend::media {

bool isEncodableVideoFormat(const VideoFormat& format) {
  const auto side = [](int pixels) { return pixels % 2 == 0 && pixels >= 32 && pixels <= 4096; };
  return side(format.width) && side(format.height) && format.framesPerSecond >= 1 &&
         format.framesPerSecond <= 60;
}

std::string sizeText(const VideoFormat& format) {
  return std::to_string(format.width) + "x" + std::to_string(format.height);
}

std::optional<VideoFormat> withSizeText(VideoFormat format, std::string_view text) {
  const char* end = text.data() + text.size();
  const auto [widthEnd, widthError] = std::from_chars(text.data(), end, format.width);
  if (widthError != std::errc() || widthEnd == end || *widthEnd != 'x') {
    return std::nullopt;
  }
  const auto [heightEnd, heightError] = std::from_chars(widthEnd + 1, end, format.height);
  if (heightError != std::errc() || heightEnd != end || !isEncodableVideoFormat(format)) {
    return std::nullopt;
  }
  return format;
}

}  // namespace sample_backend::media
