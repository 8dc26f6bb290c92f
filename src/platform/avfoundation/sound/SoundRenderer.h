#pragma once

// av::SoundRenderer: turns an item's decoded sound into what the device plays at a playback rate: as it is at
// rate 1; faster or slower with its pitch kept from TempoFilter::kSlowestTempo to kFastestTempo; and at any
// other rate as silence lasting the sound's duration over the rate, so that the sound is consumed at the
// rate's pace without being heard. Every sample is scaled by the volume. Sound of another sample rate or
// channel count than the output's, which the device cannot play, counts as silence of its duration.
//
// A run is what is rendered at one rate since the start, the last reset() or the last change of rate. Within
// a run the n-th frame given out carries the item time of the input frame n times the rate, counted from the
// run's first input frame; input that jumps in item time (a gap in the stream) keeps its own times.
//
// A tempo filter that fails is reported with a console line, and its run goes on as silence.
//
// Thread-safety: one thread at a time.

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "platform/avfoundation/DecodedAudio.h"
#include "platform/avfoundation/sound/RenderedSound.h"
#include "platform/avfoundation/sound/TempoFilter.h"

namespace av {

class SoundRenderer {
 public:
  // Starts at rate 1. REQUIRES: sampleRate > 0, channelCount > 0.
  SoundRenderer(int sampleRate, int channelCount);

  float rate() const { return rate_; }
  // Ends the run and starts one at `rate`. Returns what the ended run still held, rendered at its own rate
  // and at `volume`; nothing when `rate` is the current rate, which changes nothing. REQUIRES: rate > 0.
  std::optional<RenderedSound> setRate(float rate, float volume);
  // Takes `audio` and returns the sound ready so far at `volume`; the tempo filter may hold some back for the
  // next call.
  std::optional<RenderedSound> render(DecodedAudio audio, float volume);
  // Drops whatever the run holds and starts a new one at the same rate.
  void reset();
  // The item time of the sound taken in but not yet given out.
  double heldSeconds() const;

 private:
  enum class Mode { kAsIs, kTempo, kSilence };

  // Where an input of the run starts: its first frame's place in the run and its item time.
  struct InputStart {
    std::int64_t frame = 0;
    double seconds = 0;
  };

  void startRun();
  // The tempo filter failed: the run goes on as silence.
  void fallBackToSilence(const ns::Error& error);
  // The frames the silent run owes for the input taken so far.
  std::vector<float> silenceOwed() const;
  // Makes the run's next output of `samples`, scaled by `volume`; nothing when there are no samples.
  std::optional<RenderedSound> giveOut(std::vector<float> samples, float volume);
  // The item time of the input frame at `runFrame`, forgetting the inputs wholly before it.
  double itemSecondsAt(double runFrame);

  // Constant after construction
  const int sampleRate_;
  const int channelCount_;

  float rate_ = 1;
  Mode mode_ = Mode::kAsIs;
  std::unique_ptr<TempoFilter> filter_;
  std::int64_t inputFrames_ = 0;
  std::int64_t outputFrames_ = 0;
  std::deque<InputStart> inputStarts_;
};

}  // namespace av
