#include "platform/avfoundation/sound/SoundDeviceWriter.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/avfoundation/sound/SoundOutput.h"
#include "platform/foundation/loop/ThreadName.h"

namespace av {

SoundDeviceWriter::SoundDeviceWriter(SoundQueue& queue, std::unique_ptr<SoundServerStream> stream,
                                     int sampleRate, int channelCount)
    : queue_(queue),
      stream_(std::move(stream)),
      channelCount_(channelCount),
      renderer_(sampleRate, channelCount),
      thread_([this] { run(); }) {}

SoundDeviceWriter::~SoundDeviceWriter() {
  queue_.stop();
  wake();
  thread_.join();
}

void SoundDeviceWriter::run() {
  ns::setCurrentThreadName("sound output");
  for (;;) {
    const SoundQueue::Orders orders = queue_.orders();
    if (orders.stop) {
      return;
    }
    if (!stream_->isAlive()) {
      std::fprintf(stderr, "av::SoundOutput: the sound device went away (%s); the sound goes on silently\n",
                   stream_->failure().localizedDescription().c_str());
      queue_.loseDevice();
      return;
    }
    if (orders.generation != generation_) {
      startOver(orders.generation);
    }
    followRate(orders.rate);
    if (rate_ > 0) {
      fill();
    }
    report();
    stream_->waitForEvents(rate_ > 0 ? std::optional<ns::Duration>(kReportInterval) : std::nullopt);
  }
}

void SoundDeviceWriter::startOver(std::uint64_t generation) {
  generation_ = generation;
  stream_->flush();
  renderer_.reset();
  timeline_.reset();
  unwritten_.clear();
  writtenOfFirst_ = 0;
  heardFrame_ = -1;
}

void SoundDeviceWriter::followRate(float rate) {
  if (rate == rate_) {
    return;
  }
  if (rate > 0) {
    if (std::optional<RenderedSound> rest = renderer_.setRate(rate, SoundOutput::systemVolume())) {
      unwritten_.push_back(std::move(*rest));
    }
  }
  if ((rate > 0) != (rate_ > 0)) {
    stream_->setCorked(rate == 0);
  }
  rate_ = rate;
}

void SoundDeviceWriter::fill() {
  for (std::size_t room = stream_->writableFrames(); room > 0;) {
    if (unwritten_.empty()) {
      std::optional<DecodedAudio> next = queue_.takeNext(generation_);
      if (!next) {
        return;
      }
      if (std::optional<RenderedSound> rendered =
              renderer_.render(std::move(*next), SoundOutput::systemVolume())) {
        unwritten_.push_back(std::move(*rendered));
      }
      continue;
    }
    const RenderedSound& first = unwritten_.front();
    const std::size_t frameCount = std::min(room, first.frameCount(channelCount_) - writtenOfFirst_);
    if (!stream_->write(first.samples.data() + writtenOfFirst_ * channelCount_, frameCount)) {
      return;
    }
    timeline_.wrote(first.seconds + static_cast<double>(writtenOfFirst_) * first.itemSecondsPerFrame,
                    frameCount, first.itemSecondsPerFrame);
    room -= frameCount;
    writtenOfFirst_ += frameCount;
    if (writtenOfFirst_ == first.frameCount(channelCount_)) {
      unwritten_.pop_front();
      writtenOfFirst_ = 0;
    }
  }
}

void SoundDeviceWriter::report() {
  if (const std::optional<std::int64_t> unplayed = stream_->unplayedFrames()) {
    heardFrame_ = std::max(heardFrame_, timeline_.writtenFrames() - *unplayed);
  }
  queue_.report(generation_, timeline_.itemSecondsAt(heardFrame_),
                renderer_.heldSeconds() + unwrittenSeconds() + timeline_.itemSecondsAfter(heardFrame_));
}

double SoundDeviceWriter::unwrittenSeconds() const {
  double seconds = 0;
  std::size_t skipped = writtenOfFirst_;
  for (const RenderedSound& sound : unwritten_) {
    seconds += static_cast<double>(sound.frameCount(channelCount_) - skipped) * sound.itemSecondsPerFrame;
    skipped = 0;
  }
  return seconds;
}

}  // namespace av
