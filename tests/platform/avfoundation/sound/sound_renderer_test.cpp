#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "platform/avfoundation/sound/SoundRenderer.h"
#include "platform/avfoundation/sound/SoundTimeline.h"
#include "platform/avfoundation/sound/sound_test_util.h"

namespace {

using av::RenderedSound;
using av::SoundRenderer;
using soundtest::kChannelCount;
using soundtest::kSampleRate;
using soundtest::tone;

// A few milliseconds, the precision the player's time needs from the sound.
constexpr double kFewMilliseconds = 0.005;

// Everything rendered from one run, joined.
struct Rendered {
  std::vector<RenderedSound> pieces;

  void add(std::optional<RenderedSound> piece) {
    if (piece) {
      pieces.push_back(std::move(*piece));
    }
  }
  double deviceSeconds() const {
    std::size_t frames = 0;
    for (const RenderedSound& piece : pieces) {
      frames += piece.frameCount(kChannelCount);
    }
    return static_cast<double>(frames) / kSampleRate;
  }
  // The item time just after the last frame.
  double endItemSeconds() const {
    const RenderedSound& last = pieces.back();
    return last.seconds + static_cast<double>(last.frameCount(kChannelCount)) * last.itemSecondsPerFrame;
  }
  float loudest() const {
    float loudest = 0;
    for (const RenderedSound& piece : pieces) {
      for (const float sample : piece.samples) {
        loudest = std::max(loudest, std::abs(sample));
      }
    }
    return loudest;
  }
  // The tone's pitch as heard: its first channel's crossings of zero upward per second of device time.
  double heardHertz() const {
    std::size_t crossings = 0;
    float previous = 0;
    for (const RenderedSound& piece : pieces) {
      for (std::size_t i = 0; i < piece.samples.size(); i += kChannelCount) {
        crossings += previous < 0 && piece.samples[i] >= 0 ? 1 : 0;
        previous = piece.samples[i];
      }
    }
    return static_cast<double>(crossings) / deviceSeconds();
  }
};

// Renders `duration` seconds of tone from item time `start` in 1024-frame runs at `rate` and `volume`, and
// what the run held at the end (by a change of rate).
Rendered renderTone(float rate, double start, double duration, float volume = 1) {
  SoundRenderer renderer(kSampleRate, kChannelCount);
  Rendered rendered;
  rendered.add(renderer.setRate(rate, volume));
  constexpr int kRunFrames = 1024;
  const auto frames = static_cast<int>(std::lround(duration * kSampleRate));
  for (int frame = 0; frame < frames; frame += kRunFrames) {
    const int runFrames = std::min(kRunFrames, frames - frame);
    rendered.add(renderer.render(
        tone(start + static_cast<double>(frame) / kSampleRate, static_cast<double>(runFrames) / kSampleRate),
        volume));
  }
  rendered.add(renderer.setRate(rate == 1 ? 2 : 1, volume));
  return rendered;
}

// At a tempo the filter keeps the pitch of, the sound lasts its item time over the rate, its frames carry
// the item time they play, and the tone keeps its pitch.
TEST(SoundRendererTest, PlaysAtATempoWithThePitchKeptAndTheRightAmountOfSound) {
  for (const float rate : {2.0F, 0.8F}) {
    const Rendered rendered = renderTone(rate, 5, 2);
    ASSERT_FALSE(rendered.pieces.empty()) << rate;
    EXPECT_NEAR(rendered.deviceSeconds(), 2 / rate, kFewMilliseconds) << rate;
    EXPECT_DOUBLE_EQ(rendered.pieces.front().seconds, 5) << rate;
    EXPECT_NEAR(rendered.endItemSeconds(), 7, kFewMilliseconds) << rate;
    EXPECT_DOUBLE_EQ(rendered.pieces.front().itemSecondsPerFrame, rate / kSampleRate) << rate;
    EXPECT_NEAR(rendered.heardHertz(), soundtest::kToneHertz, soundtest::kToneHertz * 0.03) << rate;
    EXPECT_GT(rendered.loudest(), 0.5F) << rate;
  }
}

// Rate 1 gives the sound as it is; beyond the tempos it is consumed as silence at the rate's pace.
TEST(SoundRendererTest, PlaysRateOneAsItIsAndOtherRatesAsSilenceAtTheirPace) {
  const Rendered asItIs = renderTone(1, 3, 1);
  EXPECT_DOUBLE_EQ(asItIs.deviceSeconds(), 1);
  EXPECT_EQ(asItIs.pieces.front().samples, tone(3, 1024.0 / kSampleRate).samples);
  EXPECT_NEAR(asItIs.endItemSeconds(), 4, 1e-9);

  for (const float rate : {16.0F, 0.25F}) {
    const Rendered silent = renderTone(rate, 3, 1);
    EXPECT_NEAR(silent.deviceSeconds(), 1 / rate, 1.0 / kSampleRate) << rate;
    EXPECT_NEAR(silent.endItemSeconds(), 4, rate / kSampleRate) << rate;
    EXPECT_EQ(silent.loudest(), 0) << rate;
  }
}

// The volume scales every sample: 0 silences at every rate.
TEST(SoundRendererTest, ScalesBySoundVolumeAndVolumeZeroSilences) {
  EXPECT_FLOAT_EQ(renderTone(1, 0, 0.1, 0.5F).loudest(), 0.5F * renderTone(1, 0, 0.1).loudest());
  for (const float rate : {1.0F, 2.0F, 0.8F}) {
    const Rendered silenced = renderTone(rate, 0, 0.5, 0);
    EXPECT_NEAR(silenced.deviceSeconds(), 0.5 / rate, kFewMilliseconds) << rate;
    EXPECT_EQ(silenced.loudest(), 0) << rate;
  }
}

// A reset drops what the tempo filter holds: the next sound starts afresh at its own item time. Sound the
// output cannot play counts as silence of its duration.
TEST(SoundRendererTest, ResetDropsWhatIsHeldAndForeignSoundIsSilence) {
  SoundRenderer renderer(kSampleRate, kChannelCount);
  EXPECT_FALSE(renderer.setRate(2, 1));
  Rendered before;
  before.add(renderer.render(tone(1, 0.5), 1));
  EXPECT_GT(renderer.heldSeconds(), 0);
  renderer.reset();
  EXPECT_EQ(renderer.heldSeconds(), 0);

  Rendered after;
  for (int run = 0; run < 10 && after.pieces.empty(); ++run) {
    after.add(renderer.render(tone(30 + run * 0.1, 0.1), 1));
  }
  ASSERT_FALSE(after.pieces.empty());
  EXPECT_DOUBLE_EQ(after.pieces.front().seconds, 30);

  SoundRenderer asItIs(kSampleRate, kChannelCount);
  const std::optional<RenderedSound> foreign = asItIs.render(tone(8, 0.1, 44100, 1), 1);
  ASSERT_TRUE(foreign);
  EXPECT_EQ(foreign->frameCount(kChannelCount), 4800U);
  EXPECT_TRUE(std::all_of(foreign->samples.begin(), foreign->samples.end(), [](float s) { return s == 0; }));
  EXPECT_DOUBLE_EQ(foreign->seconds, 8);
}

// The timeline reads the item time at a device frame across pieces written at different rates.
TEST(SoundTimelineTest, TellsTheItemTimeHeardAndWhatIsWrittenAheadOfIt) {
  av::SoundTimeline timeline;
  EXPECT_FALSE(timeline.itemSecondsAt(0));
  timeline.wrote(10, 480, 1.0 / kSampleRate);
  timeline.wrote(10.01, 480, 2.0 / kSampleRate);
  EXPECT_EQ(timeline.writtenFrames(), 960);
  EXPECT_NEAR(timeline.itemSecondsAfter(-1), 0.03, 1e-12);
  EXPECT_FALSE(timeline.itemSecondsAt(-1));
  EXPECT_DOUBLE_EQ(*timeline.itemSecondsAt(0), 10);
  EXPECT_NEAR(*timeline.itemSecondsAt(720), 10.02, 1e-12);
  EXPECT_NEAR(timeline.itemSecondsAfter(720), 0.01, 1e-12);
  EXPECT_NEAR(*timeline.itemSecondsAt(5000), 10.03, 1e-12);

  timeline.reset();
  EXPECT_EQ(timeline.writtenFrames(), 0);
  EXPECT_FALSE(timeline.itemSecondsAt(0));
}

}  // namespace
