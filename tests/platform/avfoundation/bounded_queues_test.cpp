// The segment road's queues: the decrypted segments waiting for the demuxer and the packets waiting for the
// decoder, each bounded in count and in bytes, and what their readers see at the end and when waiting.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "platform/avfoundation/PacketQueue.h"
#include "platform/avfoundation/SegmentStream.h"

namespace {

av::PacketPointer packetOf(std::size_t size) {
  av::PacketPointer packet(av_packet_alloc());
  EXPECT_GE(av_new_packet(packet.get(), static_cast<int>(size)), 0);
  return packet;
}

TEST(SegmentStream, HasRoomWhileFewSegmentsAndBytesWait) {
  av::SegmentStream stream(nullptr);
  for (std::size_t index = 0; index < av::SegmentStream::kSegmentCapacity; ++index) {
    EXPECT_TRUE(stream.hasRoom());
    stream.append(ns::Data(1000, 0x47));
  }
  EXPECT_FALSE(stream.hasRoom()) << "three segments wait";
  std::uint8_t buffer[1000];
  ASSERT_EQ(stream.read(buffer, sizeof buffer), 1000);
  EXPECT_TRUE(stream.hasRoom());

  // A segment of 30 MB leaves no room for a second of its size; reading it up makes room again, so
  // segments larger than the bound still pass one at a time.
  av::SegmentStream big(nullptr);
  big.append(ns::Data(30'000'000, 0x47));
  EXPECT_EQ(big.queuedBytes(), 30'000'000u);
  EXPECT_FALSE(big.hasRoom());
  std::vector<std::uint8_t> chunk(1 << 20);
  std::size_t read = 0;
  while (read < 30'000'000) {
    const std::ptrdiff_t got = big.read(chunk.data(), chunk.size());
    ASSERT_GT(got, 0);
    read += static_cast<std::size_t>(got);
  }
  EXPECT_EQ(big.queuedBytes(), 0u);
  EXPECT_TRUE(big.hasRoom());
  big.append(ns::Data(av::SegmentStream::kByteCapacity + 1, 0x47));
  EXPECT_FALSE(big.hasRoom());
  big.finish();
}

TEST(PacketQueue, IsBoundedInBytesAndTellsWhenItsReaderWaitsOrTheStreamEnds) {
  av::PacketQueue queue;
  const std::size_t half = av::PacketQueue::kByteCapacity / 2;
  ASSERT_TRUE(queue.push(packetOf(half)));
  ASSERT_TRUE(queue.push(packetOf(half)));
  EXPECT_EQ(queue.byteSize(), 2 * half);
  // Full by its bytes: the next push waits until a packet is taken.
  bool pushed = false;
  std::thread demuxer([&] { pushed = queue.push(packetOf(100)); });
  ASSERT_NE(queue.tryPop(), nullptr);
  demuxer.join();
  EXPECT_TRUE(pushed);
  EXPECT_EQ(queue.size(), 2u);

  // A reader that has taken everything waits, and says so, until a packet comes.
  ASSERT_NE(queue.pop(), nullptr);
  ASSERT_NE(queue.pop(), nullptr);
  EXPECT_FALSE(queue.isReaderWaiting());
  std::promise<void> waiting;
  std::future<void> started = waiting.get_future();
  std::future<bool> taken =
      std::async(std::launch::async, [&] { return queue.pop([&] { waiting.set_value(); }) != nullptr; });
  ASSERT_EQ(started.wait_for(std::chrono::seconds(20)), std::future_status::ready);
  EXPECT_TRUE(queue.isReaderWaiting());
  ASSERT_TRUE(queue.push(packetOf(2 * av::PacketQueue::kByteCapacity)))
      << "a packet over the bound passes alone";
  EXPECT_TRUE(taken.get());
  EXPECT_FALSE(queue.isReaderWaiting());

  // At the end of the stream the reader gets what is left, then nothing, and never waits.
  ASSERT_TRUE(queue.push(packetOf(10)));
  queue.finish();
  EXPECT_NE(queue.pop(), nullptr);
  EXPECT_EQ(queue.pop(), nullptr);
  EXPECT_FALSE(queue.isClosed());
  queue.close();
  EXPECT_TRUE(queue.isClosed());
}

}  // namespace
