#pragma once

// avtest::LessonDecoding: a SegmentRoadDelegate that decodes every packet of its road's video and audio
// tracks as soon as it is announced, with no pacing, and keeps what a check needs of the result: the
// pictures it keeps are converted to RGBA at the end, the others never.
// avtest::decodeLesson loads a playlist URL and drives a road with it to the end.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/avfoundation/AudioDecoder.h"
#include "platform/avfoundation/DecodedPicture.h"
#include "platform/avfoundation/SegmentRoad.h"
#include "platform/avfoundation/URLAsset.h"
#include "platform/avfoundation/VideoDecoder.h"
#include "platform/foundation/loop/RunLoop.h"

namespace avtest {

struct LessonDecoding : av::SegmentRoadDelegate {
  // Whether every picture is kept in `pictures`; otherwise only the first and the last are.
  bool keepPictures = false;

  std::size_t trackCount = 0;
  // Filled at the end of the road.
  std::vector<av::DecodedPicture> pictures;
  std::size_t pictureCount = 0;
  // Seconds of sound decoded, and its loudest sample.
  double audioSeconds = 0;
  float audioPeak = 0;
  std::optional<ns::Error> failure;
  bool ended = false;
  // The most bytes of decrypted segments the road held, seen as each segment arrived.
  std::size_t mostBufferedBytes = 0;

  void segmentRoadLoadedSegment(av::SegmentRoad& road, std::size_t,
                                const std::optional<std::string>&) override {
    mostBufferedBytes = std::max(mostBufferedBytes, road.bufferedBytes());
  }

  void segmentRoadFoundTracks(av::SegmentRoad& road, std::size_t count) override {
    trackCount = count;
    for (const av::MediaTrack& track : road.tracks()) {
      if (track.type == AVMEDIA_TYPE_VIDEO && !video_) {
        video_ = opened(av::VideoDecoder::open(track));
        videoIndex_ = track.index;
      } else if (track.type == AVMEDIA_TYPE_AUDIO && !audio_) {
        audio_ = opened(av::AudioDecoder::open(track));
        audioIndex_ = track.index;
      }
    }
  }
  void segmentRoadHasPackets(av::SegmentRoad& road) override {
    while (av::PacketPointer packet = road.packets().tryPop()) {
      if (video_ && packet->stream_index == videoIndex_) {
        takePictures(video_->decode(*packet));
      } else if (audio_ && packet->stream_index == audioIndex_) {
        takeAudio(audio_->decode(*packet));
      }
    }
  }
  void segmentRoadDidEnd(av::SegmentRoad& road) override {
    segmentRoadHasPackets(road);
    if (video_) {
      takePictures(video_->flush());
    }
    if (audio_) {
      takeAudio(audio_->flush());
    }
    for (const av::VideoFrame& frame : keptFrames_) {
      ns::Result<av::RGBAPicture> converted = frame.toRGBA();
      if (!converted.ok()) {
        failure = converted.error();
        break;
      }
      pictures.push_back({std::move(*converted), frame.seconds});
    }
    ended = true;
  }
  void segmentRoadDidFail(av::SegmentRoad&, const ns::Error& error) override {
    failure = error;
    ended = true;
  }

 private:
  template <typename Decoder>
  std::unique_ptr<Decoder> opened(ns::Result<std::unique_ptr<Decoder>> decoder) {
    if (!decoder.ok()) {
      failure = decoder.error();
      return nullptr;
    }
    return std::move(*decoder);
  }
  void takePictures(ns::Result<std::vector<av::VideoFrame>> decoded) {
    if (!decoded.ok()) {
      failure = decoded.error();
      return;
    }
    for (av::VideoFrame& frame : *decoded) {
      ++pictureCount;
      if (keepPictures || keptFrames_.size() < 2) {
        keptFrames_.push_back(std::move(frame));
      } else {
        keptFrames_.back() = std::move(frame);
      }
    }
  }
  void takeAudio(ns::Result<std::vector<av::DecodedAudio>> decoded) {
    if (!decoded.ok()) {
      failure = decoded.error();
      return;
    }
    for (const av::DecodedAudio& audio : *decoded) {
      audioSeconds += audio.duration();
      for (const float sample : audio.samples) {
        audioPeak = std::max(audioPeak, std::fabs(sample));
      }
    }
  }

  std::vector<av::VideoFrame> keptFrames_;
  std::unique_ptr<av::VideoDecoder> video_;
  std::unique_ptr<av::AudioDecoder> audio_;
  int videoIndex_ = -1;
  int audioIndex_ = -1;
};

// Loads the playlist at `url` on the main loop and decodes all of it from its first segment. The result has
// ended == false when the playlist did not load or the road did not end within `timeout`.
inline std::shared_ptr<LessonDecoding> decodeLesson(
    const std::string& url, std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
  auto decoding = std::make_shared<LessonDecoding>();
  const std::optional<ns::URL> parsed = ns::URL::fromString(url);
  if (!parsed) {
    return decoding;
  }
  const auto asset = av::URLAsset::URLAssetWithURL(*parsed);
  bool loaded = false;
  asset->loadValuesAsynchronouslyForKeys({std::string(av::URLAsset::kDurationKey)}, [&] { loaded = true; });
  ns::RunLoop& loop = ns::RunLoop::main();
  if (!loop.runUntil([&] { return loaded; }, timeout) || !asset->playlist()) {
    return decoding;
  }
  const auto road = av::SegmentRoad::start(asset->playlist(), 0, decoding);
  loop.runUntil([&] { return decoding->ended; }, timeout);
  return decoding;
}

}  // namespace avtest
