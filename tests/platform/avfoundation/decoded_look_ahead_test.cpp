// The decoded look-ahead between a player item's decoding thread and the player: its bounds, the horizon
// that lets a long gap keep one picture, sound that never blocks a stream whose pictures lag, and closing.

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/avfoundation/DecodedLookAhead.h"

namespace {

constexpr int kSampleRate = 48000;

// A blank 16x16 picture at `seconds`.
av::VideoFrame pictureAt(double seconds) {
  av::FramePointer frame(av_frame_alloc());
  frame->format = AV_PIX_FMT_YUV420P;
  frame->width = 16;
  frame->height = 16;
  EXPECT_GE(av_frame_get_buffer(frame.get(), 0), 0);
  return *av::VideoFrame::referencing(*frame, seconds);
}

// `duration` seconds of mono silence from `seconds` on.
av::DecodedAudio soundAt(double seconds, double duration) {
  av::DecodedAudio sound;
  sound.sampleRate = kSampleRate;
  sound.channelCount = 1;
  sound.samples.resize(static_cast<std::size_t>(duration * kSampleRate));
  sound.seconds = seconds;
  return sound;
}

TEST(DecodedLookAhead, PicturesAreBoundedAndThoseDueByTheHorizonKeepOnlyTheNewest) {
  av::DecodedLookAhead ahead(true);
  for (std::size_t index = 0; index < av::DecodedLookAhead::kPictureCapacity; ++index) {
    ASSERT_TRUE(ahead.pushPicture(pictureAt(0.04 * static_cast<double>(index))));
  }
  EXPECT_TRUE(ahead.isPictureRoomFull());
  // The next picture waits for room, and takes it once the player has taken the pictures due.
  bool pushed = false;
  std::thread decoder([&] { pushed = ahead.pushPicture(pictureAt(0.48)); });
  const std::optional<av::VideoFrame> due = ahead.takePicture(0.1);
  decoder.join();
  ASSERT_TRUE(due.has_value());
  EXPECT_DOUBLE_EQ(due->seconds, 0.08) << "the newest due";
  EXPECT_TRUE(pushed);
  EXPECT_EQ(ahead.pictureCount(), av::DecodedLookAhead::kPictureCapacity - 3 + 1);
  EXPECT_EQ(ahead.newestPictureSeconds(), 0.48);

  // Decoding through a long gap: each picture due by the horizon replaces those waiting, and none waits.
  ahead.raiseHorizon(10);
  ahead.raiseHorizon(5);
  for (int index = 0; index < 100; ++index) {
    ASSERT_TRUE(ahead.pushPicture(pictureAt(1 + 0.04 * index)));
    EXPECT_EQ(ahead.pictureCount(), 1u);
  }
  EXPECT_DOUBLE_EQ(ahead.takePicture(10)->seconds, 1 + 0.04 * 99);
  EXPECT_FALSE(ahead.takePicture(10).has_value());
}

TEST(DecodedLookAhead, SoundWaitsForRoomOnlyWhileAPictureWaits) {
  av::DecodedLookAhead ahead(true);
  // Pictures may come late in a stream: with none waiting, sound gathers past its bound...
  for (int index = 0; index < 6; ++index) {
    ASSERT_TRUE(ahead.pushSound(soundAt(0.5 * index, 0.5)));
  }
  EXPECT_DOUBLE_EQ(ahead.soundSeconds(), 3.0);
  // ...but once a picture waits, the decoder waits until the sound has been taken.
  ASSERT_TRUE(ahead.pushPicture(pictureAt(0)));
  bool pushed = false;
  std::thread decoder([&] { pushed = ahead.pushSound(soundAt(3.0, 0.5)); });
  std::vector<double> fed;
  ahead.feedSound([&](av::DecodedAudio&& sound) {
    if (sound.seconds > 1.0) {
      return false;
    }
    fed.push_back(sound.seconds);
    return true;
  });
  decoder.join();
  EXPECT_EQ(fed, (std::vector<double>{0, 0.5, 1.0}));
  EXPECT_TRUE(pushed);

  // Sound that ends by the horizon would never be heard; the refused sound is still first in line.
  ahead.raiseHorizon(3.5);
  ASSERT_TRUE(ahead.pushSound(soundAt(3.0, 0.4)));
  fed.clear();
  ahead.feedSound([&](av::DecodedAudio&& sound) {
    fed.push_back(sound.seconds);
    return true;
  });
  EXPECT_EQ(fed, (std::vector<double>{1.5, 2.0, 2.5, 3.0}));
  EXPECT_EQ(ahead.soundSeconds(), 0);

  // Sound gathering with no picture stops at its byte bound, past which the oldest goes.
  av::DecodedLookAhead soundOnly(true);
  const double boundSeconds =
      static_cast<double>(av::DecodedLookAhead::kSoundByteCapacity) / (kSampleRate * sizeof(float));
  for (int second = 0; second < static_cast<int>(boundSeconds) + 10; ++second) {
    ASSERT_TRUE(soundOnly.pushSound(soundAt(second, 1)));
  }
  EXPECT_LE(soundOnly.soundSeconds(), boundSeconds);
  EXPECT_GE(soundOnly.soundSeconds(), boundSeconds - 1);
}

TEST(DecodedLookAhead, ClosingReleasesAWaitingDecoderAndRefusesMore) {
  av::DecodedLookAhead ahead(true);
  for (std::size_t index = 0; index < av::DecodedLookAhead::kPictureCapacity; ++index) {
    ASSERT_TRUE(ahead.pushPicture(pictureAt(0.04 * static_cast<double>(index))));
  }
  bool pushed = true;
  std::thread decoder([&] { pushed = ahead.pushPicture(pictureAt(1)); });
  ahead.close();
  decoder.join();
  EXPECT_FALSE(pushed);
  EXPECT_EQ(ahead.pictureCount(), 0u);
  EXPECT_FALSE(ahead.pushSound(soundAt(0, 0.1)));
}

}  // namespace
