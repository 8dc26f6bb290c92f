#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "platform/avfoundation/sound/SoundOutput.h"
#include "platform/avfoundation/sound/sound_test_util.h"
#include "platform/avfoundation/sound/test_sound_server.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/loop/Timer.h"

namespace {

using av::SoundOutput;
using soundtest::tone;

constexpr double kRun = 0.125;
constexpr auto kDeadline = std::chrono::seconds(10);

// Each test starts a sound server of its own, with an output that plays into nothing at a device's pace, and
// opens the output on it; it skips when no such server can start here. The main loop ticks as a player's
// clock does, so that waits on what is heard see it move.
class DeviceSoundOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const std::optional<std::string> why = server_.start()) {
      GTEST_SKIP() << "no sound server for the device's test: " << *why;
    }
    address_.emplace(server_.address());
    output_ = SoundOutput::open(soundtest::kSampleRate, soundtest::kChannelCount);
    ASSERT_TRUE(output_->hasDevice());
    tick_ = ns::Timer::scheduled(ns::RunLoop::main(), std::chrono::milliseconds(10), ns::Timer::Repeats::kYes,
                                 [this](ns::Timer&) { ++ticks_; });
  }
  void TearDown() override {
    if (tick_) {
      tick_->invalidate();
    }
  }

  // Appends runs of tone from item time `seconds` while the output takes them.
  void fill(double seconds) {
    for (double at = seconds; output_->append(tone(at, kRun)); at += kRun) {
    }
  }
  static bool runUntil(const std::function<bool()>& done) {
    return ns::RunLoop::main().runUntil(done, kDeadline);
  }
  // Lets `count` ticks of the clock pass.
  bool waitTicks(int count) {
    const int target = ticks_ + count;
    return runUntil([&] { return ticks_ >= target; });
  }
  bool heardReaches(double seconds) {
    return runUntil([&] { return output_->heardSeconds().value_or(-1) >= seconds; });
  }

  soundtest::TestSoundServer server_;
  std::optional<soundtest::ScopedSoundServerAddress> address_;
  std::unique_ptr<SoundOutput> output_;
  std::shared_ptr<ns::Timer> tick_;
  int ticks_ = 0;
};

// The device plays from the item time appended, and the time heard follows it; a pause holds it, a seek's
// flush drops the old sound, and the player's position does not move a device's output.
TEST_F(DeviceSoundOutputTest, PlaysOnTheDeviceAndTellsTheTimeHeard) {
  fill(20);
  EXPECT_FALSE(output_->heardSeconds()) << "paused until a rate is set";
  output_->setRate(1);
  ASSERT_TRUE(heardReaches(20.2));
  EXPECT_LT(*output_->heardSeconds(), 20 + SoundOutput::kCapacitySeconds);

  output_->setRate(0);
  ASSERT_TRUE(waitTicks(30));
  const double paused = *output_->heardSeconds();
  ASSERT_TRUE(waitTicks(30));
  // A loaded machine may hear of the last frames played before the pause late, never of a tenth of a second.
  EXPECT_NEAR(*output_->heardSeconds(), paused, 0.03) << "paused, the device plays nothing";
  output_->setRate(1);
  ASSERT_TRUE(heardReaches(paused + 0.1)) << "and plays on from there";

  output_->consumeThrough(90);
  EXPECT_LT(*output_->heardSeconds(), 90) << "the device sets the pace";

  output_->flush();
  EXPECT_FALSE(output_->heardSeconds());
  fill(40);
  output_->setRate(2);
  ASSERT_TRUE(heardReaches(40.1));
  EXPECT_LT(*output_->heardSeconds(), 41);
}

// A device that goes away while playing leaves a silent output, said in one console line; the sound then
// goes at the pace consumeThrough() gives.
TEST_F(DeviceSoundOutputTest, GoesOnSilentlyWhenTheDeviceGoesAway) {
  fill(0);
  output_->setRate(1);
  ASSERT_TRUE(heardReaches(0.05));

  testing::internal::CaptureStderr();
  server_.kill();
  const bool lost = runUntil([&] { return !output_->hasDevice(); });
  const std::string console = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(lost);
  EXPECT_NE(console.find("av::SoundOutput: the sound device went away"), std::string::npos) << console;

  output_->consumeThrough(0.5);
  EXPECT_EQ(output_->heardSeconds(), 0.5);
}

}  // namespace
