#include "platform/avfoundation/AudioDecoder.h"

#include <cstring>

#include "platform/avfoundation/MediaErrors.h"

namespace av {

ns::Result<std::unique_ptr<AudioDecoder>> AudioDecoder::open(const MediaTrack& track) {
  ns::Result<FrameDecoder> frames =
      FrameDecoder::open(track, AVMEDIA_TYPE_AUDIO, "audio", FrameDecoder::Threads::kCallingThread);
  if (!frames.ok()) {
    return frames.error();
  }
  return std::make_unique<AudioDecoder>(std::move(*frames));
}

AudioDecoder::AudioDecoder(FrameDecoder frames)
    : frames_(std::move(frames)), resampler_(swr_alloc()), converted_(av_frame_alloc()) {}

ns::Result<std::vector<DecodedAudio>> AudioDecoder::decode(const AVPacket& packet) {
  return frames_.decodeEach<DecodedAudio>(&packet,
                                          [this](const AVFrame& frame) { return toInterleavedFloat(frame); });
}

ns::Result<std::vector<DecodedAudio>> AudioDecoder::flush() {
  return frames_.decodeEach<DecodedAudio>(nullptr,
                                          [this](const AVFrame& frame) { return toInterleavedFloat(frame); });
}

ns::Result<DecodedAudio> AudioDecoder::toInterleavedFloat(const AVFrame& frame) {
  if (!resampler_ || !converted_) {
    return libavError(AVERROR(ENOMEM), "no memory for the sound conversion");
  }
  av_frame_unref(converted_.get());
  if (const int copied = av_channel_layout_copy(&converted_->ch_layout, &frame.ch_layout); copied < 0) {
    return libavError(copied, "no conversion of the sound's channels");
  }
  converted_->sample_rate = frame.sample_rate;
  converted_->format = AV_SAMPLE_FMT_FLT;
  int converted = swr_convert_frame(resampler_.get(), converted_.get(), &frame);
  if (converted == AVERROR_INPUT_CHANGED || converted == AVERROR_OUTPUT_CHANGED) {
    // The stream changed its layout, rate or sample format: closing the converter makes the next conversion
    // configure it afresh from the frames.
    swr_close(resampler_.get());
    converted = swr_convert_frame(resampler_.get(), converted_.get(), &frame);
  }
  if (converted < 0) {
    return libavError(converted, "no conversion of the sound to float");
  }
  DecodedAudio audio;
  audio.sampleRate = frame.sample_rate;
  audio.channelCount = frame.ch_layout.nb_channels;
  audio.samples.resize(static_cast<std::size_t>(converted_->nb_samples) * audio.channelCount);
  std::memcpy(audio.samples.data(), converted_->data[0], audio.samples.size() * sizeof(float));
  audio.seconds = frames_.secondsOf(frame);
  return audio;
}

}  // namespace av
