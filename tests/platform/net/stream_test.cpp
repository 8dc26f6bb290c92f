// Input and output streams over memory and files.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/foundation/storage/PosixError.h"
#include "platform/net/InputStream.h"
#include "platform/net/OutputStream.h"
#include "platform/net/URLError.h"

namespace {

using FileMode = ns::OutputStream::FileMode;

std::string readAll(ns::InputStream& stream) {
  std::string text;
  std::uint8_t buffer[3];
  for (std::ptrdiff_t count; (count = stream.read(buffer, sizeof buffer)) > 0;) {
    text.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(count));
  }
  return text;
}

class StreamTest : public testing::Test {
 protected:
  StreamTest() { std::filesystem::create_directories(directory_); }
  ~StreamTest() override { std::filesystem::remove_all(directory_); }
  std::string path(const char* name) const { return (directory_ / name).string(); }

  const std::filesystem::path directory_ =
      std::filesystem::temp_directory_path() / ("net-streams-" + std::to_string(getpid()));
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

// A memory stream keeps every write (up to its maximum, when it has one); a file stream empties or appends to
// the file as asked.
TEST_F(StreamTest, OutputStreamsKeepWhatWasWritten) {
  const ns::Data bytes = ns::dataFromString("12345");
  const auto memory = ns::OutputStream::toMemory();
  memory->open();
  EXPECT_TRUE(memory->hasSpaceAvailable());
  EXPECT_EQ(memory->write(bytes.data(), bytes.size()), 5);
  EXPECT_EQ(memory->write(bytes.data(), 1), 1);
  EXPECT_EQ(ns::stringFromData(*memory->dataWrittenToMemory()), "123451");
  const auto bounded = ns::OutputStream::toMemory(6);
  bounded->open();
  EXPECT_EQ(bounded->write(bytes.data(), bytes.size()), 5);
  EXPECT_EQ(bounded->write(bytes.data(), 2), -1);  // a write past the maximum keeps nothing of itself
  EXPECT_EQ(bounded->streamStatus(), ns::StreamStatus::kError);
  EXPECT_EQ(bounded->streamError()->code(), ns::kURLErrorDataLengthExceedsMaximum);
  EXPECT_EQ(ns::stringFromData(*bounded->dataWrittenToMemory()), "12345");
  for (const auto mode : {FileMode::kTruncate, FileMode::kAppend, FileMode::kAppend, FileMode::kTruncate}) {
    const auto file = ns::OutputStream::toFileAtPath(path("out.bin"), mode);
    file->open();
    const std::uint64_t before = mode == FileMode::kAppend ? std::filesystem::file_size(path("out.bin")) : 0;
    EXPECT_EQ(file->write(bytes.data(), bytes.size()), 5);
    EXPECT_EQ(file->fileCurrentOffset(), before + 5);
    file->close();
    EXPECT_EQ(std::filesystem::file_size(path("out.bin")), before + 5);
  }
}

// A file that cannot be opened fails at open(), one that cannot take more fails the write: POSIX errors both.
TEST_F(StreamTest, FileFailuresAreErrorsOfThePOSIXDomain) {
  const auto missing = ns::InputStream::withFileAtPath(path("missing.txt"));
  const auto unopenable = ns::OutputStream::toFileAtPath(path("no-such-dir/out.txt"), FileMode::kTruncate);
  const auto full = ns::OutputStream::toFileAtPath("/dev/full", FileMode::kTruncate);
  missing->open();
  unopenable->open();
  full->open();
  EXPECT_EQ(full->write(ns::dataFromString("x").data(), 1), -1);
  for (const auto& [stream, code] : {std::pair<const ns::Stream*, int>{missing.get(), ENOENT},
                                     {unopenable.get(), ENOENT},
                                     {full.get(), ENOSPC}}) {
    EXPECT_EQ(stream->streamStatus(), ns::StreamStatus::kError);
    ASSERT_TRUE(stream->streamError().has_value());
    EXPECT_EQ(stream->streamError()->domain(), ns::kPOSIXErrorDomain);
    EXPECT_EQ(stream->streamError()->code(), code);
  }
  EXPECT_FALSE(unopenable->hasSpaceAvailable() || full->hasSpaceAvailable());
}

}  // namespace
