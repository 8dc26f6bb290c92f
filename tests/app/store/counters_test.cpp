#include <gtest/gtest.h>

#include <vector>

#include "app/store/QMDownloadStatus.h"
#include "store_test_util.h"

namespace app {

namespace storetest {
namespace {

struct Counters {
  std::int64_t caching = 0;
  std::int64_t cached = 0;
  friend bool operator==(const Counters&, const Counters&) = default;
};

Counters countersOf(const QMCountedNode& node) {
  return Counters{node.cachingVideo().value_or(0), node.cachedVideo().value_or(0)};
}

// The counters a lesson in `status` adds to every node above it.
Counters contributionOf(std::int64_t status) {
  const QMDownloadPhase phase = downloadPhaseOf(status);
  return Counters{phase == QMDownloadPhase::kUnderway ? 1 : 0, phase == QMDownloadPhase::kDone ? 1 : 0};
}

class StoreCountersTest : public StoreCatalogueTest {
 protected:
  // The counters of the nodes above `lesson`, nearest first.
  std::vector<Counters> countersAbove(const std::string& lesson) {
    std::vector<Counters> counters;
    for (auto node = course(lesson)->counterParent(); node != nullptr; node = node->counterParent()) {
      counters.push_back(countersOf(*node));
    }
    return counters;
  }
};

TEST_F(StoreCountersTest, NewRecordsStartNotQueuedAndMoveNoCounter) {
  for (const char* lesson : {"9", "10", "120", "200"}) {
    ASSERT_NE(record(lesson), nullptr) << lesson;
    EXPECT_EQ(record(lesson)->status(), kQMDownloadNotQueued);
    EXPECT_EQ(countersAbove(lesson), std::vector<Counters>(countersAbove(lesson).size())) << lesson;
  }
  EXPECT_EQ(course("100")->fileCacheInfo(), nullptr);
}

TEST_F(StoreCountersTest, EveryStatusChangeMovesTheCountersOfTheWholeChainByItsPhases) {
  testing::internal::CaptureStderr();
  for (std::int64_t from = 0; from <= 5; ++from) {
    for (std::int64_t to = 0; to <= 5; ++to) {
      auto lesson = record("9");
      lesson->setStatus(kQMDownloadNotQueued);
      lesson->setStatus(from);
      const std::vector<Counters> before = countersAbove("9");
      lesson->setStatus(to);
      const std::vector<Counters> after = countersAbove("9");
      const Counters expected{contributionOf(to).caching - contributionOf(from).caching,
                              contributionOf(to).cached - contributionOf(from).cached};
      ASSERT_EQ(after.size(), 4u) << "unit, chapter, stage, subject";
      for (std::size_t level = 0; level < after.size(); ++level) {
        EXPECT_EQ((Counters{after[level].caching - before[level].caching,
                            after[level].cached - before[level].cached}),
                  expected)
            << from << " -> " << to << " at level " << level;
      }
    }
  }
  testing::internal::GetCapturedStderr();
}

TEST_F(StoreCountersTest, ARecordThatJumpsFromNotQueuedToDoneCountsAsDownloaded) {
  record("9")->setStatus(kQMDownloadDone);
  record("10")->setStatus(kQMDownloadWaiting);
  record("10")->setStatus(kQMDownloadDone);
  EXPECT_EQ(countersOf(*course("110")), (Counters{0, 2}));
  EXPECT_EQ(countersOf(*stage_->ownBySubject()), (Counters{0, 2}));
}

TEST_F(StoreCountersTest, ALessonDirectlyUnderTheStageCountsOnTheStageAndSubject) {
  record("200")->setStatus(kQMDownloadRunning);
  EXPECT_EQ(countersOf(*stage_), (Counters{1, 0}));
  EXPECT_EQ(countersOf(*stage_->ownBySubject()), (Counters{1, 0}));
  record("200")->setStatus(kQMDownloadDone);
  EXPECT_EQ(countersOf(*stage_), (Counters{0, 1}));
  EXPECT_TRUE(stage_->cachingCourse().empty());
  EXPECT_EQ(stage_->cacheDoneCourse(), (std::vector<std::shared_ptr<QMCourse>>{course("200")}));
}

TEST_F(StoreCountersTest, CountersNeverGoBelowZero) {
  record("120")->setStatus(kQMDownloadPaused);
  // The chapter's count drifted (as in a store written before counts were kept right).
  course("100")->setCachingVideo(0);
  record("120")->setStatus(kQMDownloadDone);
  EXPECT_EQ(countersOf(*course("100")), (Counters{0, 1}));
  EXPECT_EQ(countersOf(*stage_), (Counters{0, 1}));
  stage_->ownBySubject()->cachedVideoNumberChanged(-5);
  EXPECT_EQ(countersOf(*stage_->ownBySubject()), (Counters{0, 0}));
}

TEST_F(StoreCountersTest, ObserversSeeEachCounterChangeWithOldAndNewValues) {
  std::vector<std::string> seen;
  auto record = [&](const ns::KeyValueChange& change) {
    seen.push_back(change.key + " " + ns::describe(change.oldValue) + "->" + ns::describe(change.newValue));
  };
  ns::KeyValueObservation cached = stage_->observe(std::string(QMCountedNode::kCachedVideoKey), record);
  ns::KeyValueObservation caching = stage_->observe(std::string(QMCountedNode::kCachingVideoKey), record);
  auto lesson = this->record("10");
  ns::KeyValueObservation status = lesson->observe(std::string(QMFileCacheInfo::kStatusKey), record);
  lesson->setStatus(kQMDownloadRunning);
  lesson->setStatus(kQMDownloadDone);
  EXPECT_EQ(seen, (std::vector<std::string>{"cachingVideo <null>->1", "status 0->2", "cachingVideo 1->0",
                                            "cachedVideo <null>->1", "status 2->5"}));
}

}  // namespace
}  // namespace storetest

}  // namespace app
