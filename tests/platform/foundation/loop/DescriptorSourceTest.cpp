#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

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
  void send(const char* text) { ASSERT_GT(::write(ends_[1], text, std::strlen(text)), 0); }
  void closePeer() {
    ::close(ends_[1]);
    ends_[1] = -1;
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
  EXPECT_EQ(source->fileDescriptor(), ends_[0]);
  send("hello");
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

TEST_F(DescriptorSourceTest, SourceRemovedInsideACallbackIsNeverCalledAgain) {
  // Both sources watch the same descriptor and are ready in the same turn; the first removes the second.
  std::unique_ptr<FileDescriptorSource> second;
  int firstCalls = 0;
  int secondCalls = 0;
  auto first = loop_.addSource(ends_[0], IoEvents::kWrite, [&](IoEvents) {
    ++firstCalls;
    second.reset();
  });
  second = loop_.addSource(ends_[0], IoEvents::kWrite, [&](IoEvents) { ++secondCalls; });

  EXPECT_TRUE(loop_.runUntil([&] { return firstCalls >= 3; }, kDeadline));
  EXPECT_EQ(secondCalls, 0);
}

TEST_F(DescriptorSourceTest, SourceMayDestroyItselfAndAddAnother) {
  std::unique_ptr<FileDescriptorSource> replacement;
  int replacementCalls = 0;
  std::unique_ptr<FileDescriptorSource> self;
  self = loop_.addSource(ends_[0], IoEvents::kWrite, [&](IoEvents) {
    self.reset();
    replacement = loop_.addSource(ends_[0], IoEvents::kWrite, [&](IoEvents) { ++replacementCalls; });
  });
  EXPECT_TRUE(loop_.runUntil([&] { return replacementCalls > 0; }, kDeadline));
  EXPECT_EQ(self, nullptr);
}

TEST_F(DescriptorSourceTest, HangUpIsReportedAsReadAndReadsTheEnd) {
  bool sawEnd = false;
  std::vector<IoEvents> reports;
  auto source = loop_.addSource(ends_[0], IoEvents::kRead, [&](IoEvents ready) {
    reports.push_back(ready);
    char buffer[8];
    sawEnd = ::read(ends_[0], buffer, sizeof buffer) == 0;
  });
  closePeer();
  EXPECT_TRUE(loop_.runUntil([&] { return sawEnd; }, kDeadline));
  EXPECT_EQ(reports.front(), IoEvents::kRead);
}

}  // namespace
}  // namespace ns
