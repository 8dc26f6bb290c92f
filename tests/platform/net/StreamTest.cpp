// Input and output streams over memory and files.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/foundation/storage/PosixError.h"
#include "platform/net/InputStream.h"
#include "platform/net/OutputStream.h"

namespace {

std::string readAll(ns::InputStream& stream) {
  std::string text;
  std::uint8_t buffer[3];
  for (std::ptrdiff_t count = stream.read(buffer, sizeof buffer); count > 0;
       count = stream.read(buffer, sizeof buffer)) {
    text.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(count));
  }
  return text;
}

class StreamTest : public testing::Test {
 protected:
  StreamTest()
      : directory_(std::filesystem::temp_directory_path() / ("net-streams-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(directory_);
  }
  ~StreamTest() override { std::filesystem::remove_all(directory_); }

  std::string path(const char* name) const { return (directory_ / name).string(); }

  std::filesystem::path directory_;
};

TEST_F(StreamTest, InputStreamsReadTheirBytesInOrderThenReachTheEnd) {
  std::ofstream(path("in.txt")) << "from a file";
  const auto fromData = ns::InputStream::withData(ns::dataFromString("from memory"));
  const auto fromFile = ns::InputStream::withFileAtPath(path("in.txt"));

  for (const auto& [stream, expected] :
       {std::pair{fromData, "from memory"}, std::pair{fromFile, "from a file"}}) {
    EXPECT_EQ(stream->streamStatus(), ns::StreamStatus::kNotOpen);
    stream->open();
    EXPECT_TRUE(stream->hasBytesAvailable());
    EXPECT_EQ(readAll(*stream), expected);
    EXPECT_EQ(stream->streamStatus(), ns::StreamStatus::kAtEnd);
    EXPECT_FALSE(stream->hasBytesAvailable());
    stream->close();
    EXPECT_EQ(stream->streamStatus(), ns::StreamStatus::kClosed);
  }
}

TEST_F(StreamTest, AMissingFileFailsAtOpenWithAPOSIXError) {
  const auto input = ns::InputStream::withFileAtPath(path("missing.txt"));
  const auto output =
      ns::OutputStream::toFileAtPath(path("no-such-dir/out.txt"), ns::OutputStream::FileMode::kTruncate);
  input->open();
  output->open();

  for (const ns::Stream* stream :
       {static_cast<const ns::Stream*>(input.get()), static_cast<const ns::Stream*>(output.get())}) {
    EXPECT_EQ(stream->streamStatus(), ns::StreamStatus::kError);
    ASSERT_TRUE(stream->streamError().has_value());
    EXPECT_EQ(stream->streamError()->domain(), ns::kPOSIXErrorDomain);
    EXPECT_EQ(stream->streamError()->code(), ENOENT);
  }
  EXPECT_FALSE(output->hasSpaceAvailable());
}

TEST_F(StreamTest, AMemoryStreamKeepsWhatWasWritten) {
  const auto stream = ns::OutputStream::toMemory();
  stream->open();
  const ns::Data bytes = ns::dataFromString("abc");
  EXPECT_TRUE(stream->hasSpaceAvailable());
  EXPECT_EQ(stream->write(bytes.data(), bytes.size()), 3);
  EXPECT_EQ(stream->write(bytes.data(), 1), 1);
  EXPECT_EQ(ns::stringFromData(*stream->dataWrittenToMemory()), "abca");
  EXPECT_FALSE(stream->fileCurrentOffset().has_value());
}

TEST_F(StreamTest, AFileStreamTruncatesOrAppendsAndReportsItsOffset) {
  const ns::Data bytes = ns::dataFromString("12345");
  for (const auto mode : {ns::OutputStream::FileMode::kTruncate, ns::OutputStream::FileMode::kAppend}) {
    const auto stream = ns::OutputStream::toFileAtPath(path("out.bin"), mode);
    stream->open();
    EXPECT_EQ(stream->write(bytes.data(), bytes.size()), 5);
    EXPECT_EQ(stream->dataWrittenToMemory(), nullptr);
    EXPECT_EQ(stream->fileCurrentOffset(), mode == ns::OutputStream::FileMode::kAppend ? 10u : 5u);
    stream->close();
  }
  EXPECT_EQ(std::filesystem::file_size(path("out.bin")), 10u);
}

TEST_F(StreamTest, AFailedWriteIsAnError) {
  const auto stream = ns::OutputStream::toFileAtPath("/dev/full", ns::OutputStream::FileMode::kTruncate);
  stream->open();
  const ns::Data bytes = ns::dataFromString("x");

  EXPECT_EQ(stream->write(bytes.data(), bytes.size()), -1);
  EXPECT_EQ(stream->streamStatus(), ns::StreamStatus::kError);
  EXPECT_EQ(stream->streamError()->code(), ENOSPC);
  EXPECT_FALSE(stream->hasSpaceAvailable());
}

}  // namespace
