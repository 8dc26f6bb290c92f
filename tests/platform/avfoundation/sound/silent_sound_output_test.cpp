#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stop_token>
#include <string>
#include <thread>

#include "platform/avfoundation/sound/SoundOutput.h"
#include "platform/avfoundation/sound/sound_test_util.h"

namespace {

using av::SoundOutput;
using soundtest::tone;

// A run of sound whose duration adds up exactly: eight make the capacity.
constexpr double kRun = 0.125;

// Appends runs of tone from item time `seconds` on until the output refuses one; returns how many it took.
int appendUntilRefused(SoundOutput& output, double seconds) {
  int taken = 0;
  for (;; ++taken) {
    av::DecodedAudio audio = tone(seconds + taken * kRun, kRun);
    const std::size_t sampleCount = audio.samples.size();
    if (!output.append(std::move(audio))) {
      EXPECT_EQ(audio.samples.size(), sampleCount) << "a refused run is left to its producer";
      return taken;
    }
  }
}

// With no sound server to reach the output is silent, after one console line naming the cause.
TEST(SilentSoundOutputTest, FallsBackToSilenceWithOneConsoleLineWhenNoDeviceOpens) {
  const soundtest::ScopedSoundServerAddress nowhere(soundtest::addressOfNoServer());
  testing::internal::CaptureStderr();
  const std::unique_ptr<SoundOutput> output =
      SoundOutput::open(soundtest::kSampleRate, soundtest::kChannelCount);
  const std::string console = testing::internal::GetCapturedStderr();

  EXPECT_FALSE(output->hasDevice());
  EXPECT_EQ(std::count(console.begin(), console.end(), '\n'), 1) << console;
  EXPECT_EQ(console.rfind("av::SoundOutput: no sound device (", 0), 0U) << console;
  output->setRate(1);
  EXPECT_TRUE(output->append(tone(0, kRun)));
  output->consumeThrough(0.05);
  EXPECT_EQ(output->heardSeconds(), 0.05);
}

// The silent output takes about a second ahead of the point consumed, refuses more, and takes again as
// consumeThrough() moves on: the sound goes at the pace it is told.
TEST(SilentSoundOutputTest, ConsumesAtThePaceItIsToldAndRefusesWhenFull) {
  const std::unique_ptr<SoundOutput> output = SoundOutput::openSilent();
  EXPECT_FALSE(output->heardSeconds());
  EXPECT_EQ(appendUntilRefused(*output, 10), 8);

  output->consumeThrough(9.5);
  EXPECT_FALSE(output->heardSeconds()) << "no sound reached yet";
  EXPECT_EQ(appendUntilRefused(*output, 11), 0);

  output->consumeThrough(10.25);
  EXPECT_EQ(output->heardSeconds(), 10.25);
  EXPECT_EQ(appendUntilRefused(*output, 11), 2);

  // A run cut in the middle frees only its part before the point.
  output->consumeThrough(10.3125);
  EXPECT_EQ(output->heardSeconds(), 10.3125);
  EXPECT_EQ(appendUntilRefused(*output, 11.25), 1);

  // Past the sound queued the point heard goes on with the player.
  output->consumeThrough(20);
  EXPECT_EQ(output->heardSeconds(), 20);
  EXPECT_EQ(appendUntilRefused(*output, 20), 8);
}

// A flush drops the sound queued: nothing is heard until new sound is reached, and there is room again.
TEST(SilentSoundOutputTest, FlushDropsTheQueuedSound) {
  const std::unique_ptr<SoundOutput> output = SoundOutput::openSilent();
  EXPECT_EQ(appendUntilRefused(*output, 0), 8);
  output->consumeThrough(0.5);
  ASSERT_EQ(output->heardSeconds(), 0.5);

  output->flush();
  EXPECT_FALSE(output->heardSeconds());
  output->consumeThrough(0.75);
  EXPECT_FALSE(output->heardSeconds()) << "the sound before the flush is gone";
  EXPECT_EQ(appendUntilRefused(*output, 60), 8);
  output->consumeThrough(60);
  EXPECT_EQ(output->heardSeconds(), 60);
}

// A producer waits for room without polling: consumption lets it go on, and a stop request ends the wait.
TEST(SilentSoundOutputTest, AProducerWaitsForRoomUntilConsumptionOrStop) {
  const std::unique_ptr<SoundOutput> output = SoundOutput::openSilent();
  ASSERT_EQ(appendUntilRefused(*output, 0), 8);

  bool roomCame = false;
  std::jthread producer([&](const std::stop_token& stop) {
    roomCame = output->waitForRoom(stop) && output->append(tone(1, kRun));
  });
  output->consumeThrough(kRun);
  producer.join();
  EXPECT_TRUE(roomCame);

  bool stoppedWaiting = false;
  std::jthread stopped([&](const std::stop_token& stop) { stoppedWaiting = !output->waitForRoom(stop); });
  stopped.request_stop();
  stopped.join();
  EXPECT_TRUE(stoppedWaiting);
}

// The process-wide system volume is cut to 0 to 1 and ignores what is not a number.
TEST(SilentSoundOutputTest, SystemVolumeStaysWithinZeroToOne) {
  EXPECT_EQ(SoundOutput::systemVolume(), SoundOutput::kDefaultSystemVolume);
  SoundOutput::setSystemVolume(2);
  EXPECT_EQ(SoundOutput::systemVolume(), 1);
  SoundOutput::setSystemVolume(std::nanf(""));
  EXPECT_EQ(SoundOutput::systemVolume(), 1);
  SoundOutput::setSystemVolume(-1);
  EXPECT_EQ(SoundOutput::systemVolume(), 0);
  SoundOutput::resetSystemVolumeForTesting();
  EXPECT_EQ(SoundOutput::systemVolume(), SoundOutput::kDefaultSystemVolume);
}

}  // namespace
