#include "platform/foundation/check/Check.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace ns {
namespace {

// Runs `body` on a thread of its own and waits for it.
template <typename Body>
void onOtherThread(Body body) {
  std::thread(body).join();
}

// The pattern of the message a broken rule prints: this file, the line the check stands on, and the rule.
std::string brokenRuleAt(int line, const std::string& rule) {
  return std::string("check_test\\.cpp:") + std::to_string(line) + ": broken rule: " + rule;
}

class CheckDeathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if constexpr (!QM_DCHECKS_ENABLED) {
      GTEST_SKIP() << "the checks are compiled out of this build";
    }
    // The statements start threads, which only a freshly started child runs safely.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
  }
};

TEST_F(CheckDeathTest, ABrokenRuleDiesNamingFileLineAndRule) {
  const int line = __LINE__ + 1;
  EXPECT_DEATH(QM_DCHECK(1 + 1 == 3, "arithmetic still works"), brokenRuleAt(line, "arithmetic still works"));
}

TEST_F(CheckDeathTest, TheMainThreadCheckDiesOffTheMainThread) {
  QM_DCHECK_MAIN_THREAD();
  const int line = __LINE__ + 1;
  EXPECT_DEATH(onOtherThread([] { QM_DCHECK_MAIN_THREAD(); }),
               brokenRuleAt(line, "called on the main thread"));
}

TEST_F(CheckDeathTest, AThreadCheckerDiesOffItsOwnersThread) {
  const ThreadChecker checker;
  QM_DCHECK_CALLED_ON(checker);
  const int line = __LINE__ + 1;
  EXPECT_DEATH(onOtherThread([&checker] { QM_DCHECK_CALLED_ON(checker); }),
               brokenRuleAt(line, "called on the thread that owns the object"));
}

// Taking turns, entering again on the same thread and using a copy while the original is in use all keep the
// rule; a second thread inside at once breaks it.
TEST_F(CheckDeathTest, AOneThreadAtATimeCheckerDiesWhenASecondThreadEntersMeanwhile) {
  const OneThreadAtATimeChecker checker;
  {
    QM_DCHECK_ONE_THREAD_AT_A_TIME(checker);
    { QM_DCHECK_ONE_THREAD_AT_A_TIME(checker); }
    const OneThreadAtATimeChecker copy(checker);
    onOtherThread([&copy] { QM_DCHECK_ONE_THREAD_AT_A_TIME(copy); });
  }
  onOtherThread([&checker] { QM_DCHECK_ONE_THREAD_AT_A_TIME(checker); });
  QM_DCHECK_ONE_THREAD_AT_A_TIME(checker);
  const int line = __LINE__ + 1;
  EXPECT_DEATH(onOtherThread([&checker] { QM_DCHECK_ONE_THREAD_AT_A_TIME(checker); }),
               brokenRuleAt(line, "used by one thread at a time"));
}

}  // namespace
}  // namespace ns
