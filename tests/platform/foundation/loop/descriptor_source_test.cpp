#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <string>
#include <utility>

#include "loop_test_util.h"
#include "platform/foundation/loop/RunLoop.h"

namespace ns {
namespace {

using testing::kDeadline;

// Descriptor sources on a real socket pair, driven by the main loop.
class DescriptorSourceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, ends_.data()), 0); }
  void TearDown() override {
    for (int fd : ends_) {
      if (fd >= 0) {
        ::close(fd);
      }
    }
  }

  RunLoop& loop_ = RunLoop::main();
  std::array<int, 2> ends_{-1, -1};
};

TEST_F(DescriptorSourceTest, ReportsReadReadinessUntilTheDataIsRead) {
  std::string received;
  auto source = loop_.addSource(ends_[0], IoEvents::kRead, [&](IoEvents ready) {
    EXPECT_EQ(ready, IoEvents::kRead);
    char buffer[64];
    const ssize_t count = ::read(ends_[0], buffer, sizeof buffer);
    if (count > 0) {
      received.append(buffer, static_cast<std::size_t>(count));
    }
  });
  ASSERT_EQ(::write(ends_[1], "hello", 5), 5);
  EXPECT_TRUE(loop_.runUntil([&] { return received == "hello"; }, kDeadline));
}

TEST_F(DescriptorSourceTest, ReportsWriteReadinessAndCanBePaused) {
  int writable = 0;
  auto source = loop_.addSource(ends_[0], IoEvents::kWrite, [&](IoEvents ready) {
    EXPECT_EQ(ready, IoEvents::kWrite);
    ++writable;
  });
  EXPECT_TRUE(loop_.runUntil([&] { return writable > 0; }, kDeadline));

  source->setEvents(IoEvents::kNone);
  const int before = writable;
  loop_.runPending();
  EXPECT_EQ(writable, before);

  source->setEvents(IoEvents::kRead | IoEvents::kWrite);
  EXPECT_TRUE(loop_.runUntil([&] { return writable > before; }, kDeadline));
}

TEST_F(DescriptorSourceTest, SourceRemovedInsideACallbackIsNeverCalledAgainAndMayAddAnother) {
  // Both sources watch one descriptor and are ready in the same turn; the first removes both.
  std::unique_ptr<FileDescriptorSource> first;
  std::unique_ptr<FileDescriptorSource> second;
  std::unique_ptr<FileDescriptorSource> replacement;
  int secondCalls = 0;
  int replacementCalls = 0;
  first = loop_.addSource(ends_[0], IoEvents::kWrite, [&](IoEvents) {
    second.reset();
    first.reset();
    replacement = loop_.addSource(ends_[0], IoEvents::kWrite, [&](IoEvents) { ++replacementCalls; });
  });
  second = loop_.addSource(ends_[0], IoEvents::kWrite, [&](IoEvents) { ++secondCalls; });

  EXPECT_TRUE(loop_.runUntil([&] { return replacementCalls >= 3; }, kDeadline));
  EXPECT_EQ(secondCalls, 0);
}

TEST_F(DescriptorSourceTest, HangUpIsReportedAsReadAndReadsTheEnd) {
  bool sawEnd = false;
  auto source = loop_.addSource(ends_[0], IoEvents::kRead, [&](IoEvents ready) {
    EXPECT_EQ(ready, IoEvents::kRead);
    char buffer[8];
    sawEnd = ::read(ends_[0], buffer, sizeof buffer) == 0;
  });
  ::close(std::exchange(ends_[1], -1));
  EXPECT_TRUE(loop_.runUntil([&] { return sawEnd; }, kDeadline));
}

}  // namespace
}  // namespace ns
