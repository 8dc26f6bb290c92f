#include "platform/avfoundation/sound/SoundRenderer.h"

#include <cmath>
#include <cstdio>

#include "platform/foundation/check/Check.h"

namespace av {

SoundRenderer::SoundRenderer(int sampleRate, int channelCount)
    : sampleRate_(sampleRate), channelCount_(channelCount) {
  QM_DCHECK(sampleRate > 0 && channelCount > 0, "the output has a sample rate and channels");
}

std::optional<RenderedSound> SoundRenderer::setRate(float rate, float volume) {
  QM_DCHECK(rate > 0, "a playing rate");
  if (rate == rate_) {
    return std::nullopt;
  }
  std::vector<float> rest;
  if (filter_) {
    ns::Status drained = filter_->finish();
    if (drained.ok()) {
      drained = filter_->pull(rest);
    }
    if (!drained.ok()) {
      fallBackToSilence(drained.error());
      rest = silenceOwed();
    }
  }
  std::optional<RenderedSound> ended = giveOut(std::move(rest), volume);
  rate_ = rate;
  startRun();
  return ended;
}

std::optional<RenderedSound> SoundRenderer::render(DecodedAudio audio, float volume) {
  std::size_t frameCount = audio.frameCount();
  if (audio.sampleRate != sampleRate_ || audio.channelCount != channelCount_) {
    frameCount = static_cast<std::size_t>(std::llround(audio.duration() * sampleRate_));
    audio.samples.assign(frameCount * channelCount_, 0.0F);
  }
  if (frameCount == 0) {
    return std::nullopt;
  }
  inputStarts_.push_back({inputFrames_, audio.seconds});
  inputFrames_ += static_cast<std::int64_t>(frameCount);
  switch (mode_) {
    case Mode::kAsIs:
      return giveOut(std::move(audio.samples), volume);
    case Mode::kTempo: {
      std::vector<float> samples;
      ns::Status filtered = filter_->push(audio.samples.data(), frameCount);
      if (filtered.ok()) {
        filtered = filter_->pull(samples);
      }
      if (filtered.ok()) {
        return giveOut(std::move(samples), volume);
      }
      fallBackToSilence(filtered.error());
      return giveOut(silenceOwed(), volume);
    }
    case Mode::kSilence:
      return giveOut(silenceOwed(), volume);
  }
  return std::nullopt;
}

void SoundRenderer::reset() {
  startRun();
}

double SoundRenderer::heldSeconds() const {
  const double heldFrames = static_cast<double>(inputFrames_) - static_cast<double>(outputFrames_) * rate_;
  return std::max(heldFrames, 0.0) / sampleRate_;
}

void SoundRenderer::startRun() {
  inputFrames_ = 0;
  outputFrames_ = 0;
  inputStarts_.clear();
  filter_.reset();
  if (rate_ == 1) {
    mode_ = Mode::kAsIs;
    return;
  }
  if (rate_ < TempoFilter::kSlowestTempo || rate_ > TempoFilter::kFastestTempo) {
    mode_ = Mode::kSilence;
    return;
  }
  ns::Result<std::unique_ptr<TempoFilter>> filter = TempoFilter::open(sampleRate_, channelCount_, rate_);
  if (!filter.ok()) {
    fallBackToSilence(filter.error());
    return;
  }
  filter_ = std::move(filter).value();
  mode_ = Mode::kTempo;
}

void SoundRenderer::fallBackToSilence(const ns::Error& error) {
  std::fprintf(stderr, "av::SoundOutput: %s; the sound at rate %g plays silently\n",
               error.localizedDescription().c_str(), static_cast<double>(rate_));
  filter_.reset();
  mode_ = Mode::kSilence;
}

std::vector<float> SoundRenderer::silenceOwed() const {
  const auto owed =
      static_cast<std::int64_t>(std::floor(static_cast<double>(inputFrames_) / rate_)) - outputFrames_;
  return std::vector<float>(static_cast<std::size_t>(std::max<std::int64_t>(owed, 0)) * channelCount_, 0.0F);
}

std::optional<RenderedSound> SoundRenderer::giveOut(std::vector<float> samples, float volume) {
  if (samples.empty()) {
    return std::nullopt;
  }
  if (volume != 1) {
    for (float& sample : samples) {
      sample *= volume;
    }
  }
  RenderedSound sound;
  sound.seconds = itemSecondsAt(static_cast<double>(outputFrames_) * rate_);
  sound.itemSecondsPerFrame = rate_ / sampleRate_;
  outputFrames_ += static_cast<std::int64_t>(samples.size() / channelCount_);
  sound.samples = std::move(samples);
  return sound;
}

double SoundRenderer::itemSecondsAt(double runFrame) {
  while (inputStarts_.size() > 1 && static_cast<double>(inputStarts_[1].frame) <= runFrame) {
    inputStarts_.pop_front();
  }
  if (inputStarts_.empty()) {
    return 0;
  }
  const InputStart& start = inputStarts_.front();
  return start.seconds + (runFrame - static_cast<double>(start.frame)) / sampleRate_;
}

}  // namespace av
