// The object store against hand-written SQLite, in one run:
// - BM_StoreCourseTree / BM_HandWrittenCourseTree: a course-tree reply of 5,000 nodes (20 chapters of 10
//   units, the rest lessons) saved into an empty store; the store makes a download record per lesson, so
//   the hand-written code inserts those rows too, all in one transaction.
// - BM_StoreStatusChange / BM_HandWrittenStatusChange: one lesson's record moving between "waiting" and
//   "done", which moves the counters of its unit, chapter, stage and subject, then saved.
// Target: the store takes at most twice the hand-written time. Build Release without sanitizers.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMCourse.h"
#include "app/store/QMDownloadStatus.h"
#include "app/store/QMFileCacheInfo.h"
#include "app/store/QMStage.h"
#include "app/store/QMSubject.h"
#include "app/store/ServerValue.h"
#include "platform/coredata/SqliteDatabase.h"
#include "platform/foundation/storage/Sandbox.h"
#include "platform/foundation/values/TextNumbers.h"

namespace {

constexpr int kNodes = 5000;
constexpr int kChapters = 20;
constexpr int kUnitsPerChapter = 10;

ns::Value node(int id, const std::string& name, int type) {
  return ns::Value(ns::Dictionary{{"nodeId", ns::Value(id)},
                                  {"name", ns::Value(name)},
                                  {"type", ns::Value(type)},
                                  {"isNew", ns::Value(0)},
                                  {"videoId", ns::Value(100000 + id)},
                                  {"teacher", ns::Value("Teacher " + std::to_string(id % 7))},
                                  {"cwCode", ns::Value(id % 13)}});
}

// The "chapters" of a course-tree reply with kNodes nodes in all.
ns::Array courseTreeReply() {
  const int lessons = kNodes - kChapters - kChapters * kUnitsPerChapter;
  const int units = kChapters * kUnitsPerChapter;
  int nextId = 1;
  ns::Array chapters;
  for (int chapter = 0; chapter < kChapters; ++chapter) {
    ns::Value chapterNode = node(nextId++, "Chapter", 0);
    ns::Array chapterChildren;
    for (int unit = 0; unit < kUnitsPerChapter; ++unit) {
      const int unitIndex = chapter * kUnitsPerChapter + unit;
      ns::Value unitNode = node(nextId++, "Unit", 1);
      ns::Array unitChildren;
      const int unitLessons = lessons / units + (unitIndex < lessons % units ? 1 : 0);
      for (int lesson = 0; lesson < unitLessons; ++lesson) {
        unitChildren.push_back(node(nextId++, "Lesson", app::QMCourse::kLessonType));
      }
      unitNode.mutableDictionary()["children"] = ns::Value(std::move(unitChildren));
      chapterChildren.push_back(std::move(unitNode));
    }
    chapterNode.mutableDictionary()["children"] = ns::Value(std::move(chapterChildren));
    chapters.push_back(std::move(chapterNode));
  }
  return chapters;
}

// REQUIRES: `sql` compiles against the store's tables.
cd::SqliteStatement prepared(cd::SqliteDatabase& database, std::string_view sql) {
  return database.prepare(sql).value();
}

const ns::Array& reply() {
  static const ns::Array chapters = courseTreeReply();
  return chapters;
}

// A fresh sandbox per run, and a fresh store file per iteration.
class Sandbox {
 public:
  Sandbox()
      : home_(std::filesystem::temp_directory_path() /
              ("quillmark-bench-" + std::to_string(std::random_device()()))) {
    ns::Sandbox::setHomeDirectory(home_.string());
  }
  ~Sandbox() {
    app::QMCoreDataHelper::resetSharedInstanceForTesting();
    ns::Sandbox::setHomeDirectory(std::nullopt);
    std::filesystem::remove_all(home_);
  }

  // Drops the store and its files, then makes a store holding subject 7 with stage 11; returns the stage.
  std::shared_ptr<app::QMStage> freshStoreWithStage() {
    app::QMCoreDataHelper::resetSharedInstanceForTesting();
    removeStoreFiles();
    app::QMCoreDataHelper& helper = app::QMCoreDataHelper::sharedInstance();
    helper.setUserIdSource([] { return std::string("1001"); });
    std::shared_ptr<app::QMSubject> subject = helper.createSubjectWithDic(ns::Value(ns::Dictionary{
        {"courseId", ns::Value(7)},
        {"stageList", ns::Value(ns::Array{ns::Value(ns::Dictionary{{"nodeId", ns::Value(11)}})})}}));
    return subject->sortedStageArray().front();
  }

  std::string storePath() const { return ns::Sandbox::documentsDirectory() + "/Quillmark.sqlite"; }

 private:
  void removeStoreFiles() const {
    for (const char* suffix : {"", "-wal", "-shm"}) {
      std::filesystem::remove(storePath() + suffix);
    }
  }

  std::filesystem::path home_;
};

void BM_StoreCourseTree(benchmark::State& state) {
  Sandbox sandbox;
  for (auto _ : state) {
    state.PauseTiming();
    std::shared_ptr<app::QMStage> stage = sandbox.freshStoreWithStage();
    state.ResumeTiming();
    for (const ns::Value& chapter : reply()) {
      app::QMCoreDataHelper::sharedInstance().createCourseWithDic(chapter, stage);
    }
  }
  state.counters["nodes"] = kNodes;
}
BENCHMARK(BM_StoreCourseTree)->Unit(benchmark::kMillisecond);

// The rows of the store's tables, written by hand: the same columns, values and keys as the store writes.
class HandWrittenTree {
 public:
  explicit HandWrittenTree(cd::SqliteDatabase& database)
      : course_(
            prepared(database,
                     "INSERT INTO \"QMCourse\" (Z_PK, \"tagID\", \"courseID\", \"videoID\", \"courseName\", "
                     "\"teacherName\", \"isNew\", \"level\", \"type\", \"cwCode\", \"ownByStage\", "
                     "\"upLevelCourse\", \"fileCacheInfo\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")),
        record_(prepared(database,
                         "INSERT INTO \"QMFileCacheInfo\" (Z_PK, \"fileDocment\", \"fileName\", \"index\", "
                         "\"status\", \"course\") VALUES (?, ?, ?, ?, ?, ?)")) {}

  void insert(const ns::Value& dic, const std::string& parentTag, int level, std::int64_t stageKey,
              std::int64_t parentKey) {
    const std::int64_t key = nextCourseKey_++;
    const ns::Value courseID(app::serverText(dic.find("nodeId")));
    const ns::Value tagID(parentTag + "_" + courseID.asString());
    const ns::Value videoID(app::serverText(dic.find("videoId")));
    const ns::Value name(*app::serverTextOrNil(dic.find("name")));
    const ns::Value teacher(app::serverValidatedText(dic.find("teacher")));
    const ns::Value cwCode(app::serverText(dic.find("cwCode")));
    const std::int64_t type = *app::serverIntegerOrNil(dic.find("type"));
    const ns::Value* children = dic.find("children");
    const bool hasRecord = children == nullptr && type == app::QMCourse::kLessonType;
    const std::int64_t recordKey = hasRecord ? nextRecordKey_++ : 0;
    course_.bindInteger(1, key);
    course_.bind(2, tagID);
    course_.bind(3, courseID);
    course_.bind(4, videoID);
    course_.bind(5, name);
    course_.bind(6, teacher);
    course_.bindInteger(7, *app::serverIntegerOrNil(dic.find("isNew")));
    course_.bindInteger(8, level);
    course_.bindInteger(9, type);
    course_.bind(10, cwCode);
    level == 1 ? course_.bindInteger(11, stageKey) : course_.bindNull(11);
    level == 1 ? course_.bindNull(12) : course_.bindInteger(12, parentKey);
    hasRecord ? course_.bindInteger(13, recordKey) : course_.bindNull(13);
    static_cast<void>(course_.run());
    if (children != nullptr) {
      for (const ns::Value& child : children->asArray()) {
        insert(child, tagID.asString(), level + 1, stageKey, key);
      }
    } else if (hasRecord) {
      const ns::Value folder("7_@11_" + courseID.asString());
      const ns::Value fileName("index.m3u8");
      record_.bindInteger(1, recordKey);
      record_.bind(2, folder);
      record_.bind(3, fileName);
      record_.bindInteger(4, ns::integerValueOfText(courseID.asString()));
      record_.bindInteger(5, app::kQMDownloadNotQueued);
      record_.bindInteger(6, key);
      static_cast<void>(record_.run());
    }
  }

 private:
  cd::SqliteStatement course_;
  cd::SqliteStatement record_;
  std::int64_t nextCourseKey_ = 1;
  std::int64_t nextRecordKey_ = 1;
};

void BM_HandWrittenCourseTree(benchmark::State& state) {
  Sandbox sandbox;
  std::unique_ptr<cd::SqliteDatabase> database;
  for (auto _ : state) {
    state.PauseTiming();
    // As for the store, opening and closing the file stay outside the measured time. The store makes the
    // file and its tables, then steps aside.
    database.reset();
    sandbox.freshStoreWithStage();
    app::QMCoreDataHelper::resetSharedInstanceForTesting();
    database = std::move(cd::SqliteDatabase::open(sandbox.storePath()).value());
    state.ResumeTiming();
    static_cast<void>(database->begin());
    {
      HandWrittenTree tree(*database);
      for (const ns::Value& chapter : reply()) {
        tree.insert(chapter, "7_11", 1, 1, 0);
      }
    }
    static_cast<void>(database->commit());
  }
  state.counters["nodes"] = kNodes;
}
BENCHMARK(BM_HandWrittenCourseTree)->Unit(benchmark::kMillisecond);

// The first lesson of the stored tree; its chain is unit, chapter, stage, subject.
std::shared_ptr<app::QMFileCacheInfo> storeTreeAndPickLesson(Sandbox& sandbox) {
  std::shared_ptr<app::QMStage> stage = sandbox.freshStoreWithStage();
  for (const ns::Value& chapter : reply()) {
    app::QMCoreDataHelper::sharedInstance().createCourseWithDic(chapter, stage);
  }
  return stage->sortedCourseArray()
      .front()
      ->sortedCourseArray()
      .front()
      ->sortedCourseArray()
      .front()
      ->fileCacheInfo();
}

void BM_StoreStatusChange(benchmark::State& state) {
  Sandbox sandbox;
  std::shared_ptr<app::QMFileCacheInfo> record = storeTreeAndPickLesson(sandbox);
  record->setStatus(app::kQMDownloadWaiting);
  app::QMCoreDataHelper::sharedInstance().saveContext();
  bool done = false;
  for (auto _ : state) {
    done = !done;
    record->setStatus(done ? app::kQMDownloadDone : app::kQMDownloadWaiting);
    app::QMCoreDataHelper::sharedInstance().saveContext();
  }
}
BENCHMARK(BM_StoreStatusChange)->Unit(benchmark::kMicrosecond);

void BM_HandWrittenStatusChange(benchmark::State& state) {
  Sandbox sandbox;
  std::shared_ptr<app::QMFileCacheInfo> record = storeTreeAndPickLesson(sandbox);
  std::shared_ptr<app::QMCourse> lesson = record->course();
  // The keys of the record and of the four nodes above the lesson, as the hand-written code would know them.
  const std::int64_t recordKey = record->primaryKey();
  const std::int64_t unitKey = lesson->upLevelCourse()->primaryKey();
  const std::int64_t chapterKey = lesson->rootCourse()->primaryKey();
  const std::int64_t stageKey = lesson->rootCourse()->ownByStage()->primaryKey();
  const std::int64_t subjectKey = lesson->subject()->primaryKey();
  app::QMCoreDataHelper::resetSharedInstanceForTesting();
  auto database = cd::SqliteDatabase::open(sandbox.storePath());
  cd::SqliteStatement status =
      prepared(**database, "UPDATE \"QMFileCacheInfo\" SET \"status\" = ? WHERE Z_PK = ?");
  cd::SqliteStatement courseCounters = prepared(
      **database, "UPDATE \"QMCourse\" SET \"cachingVideo\" = ?, \"cachedVideo\" = ? WHERE Z_PK = ?");
  cd::SqliteStatement stageCounters =
      prepared(**database, "UPDATE \"QMStage\" SET \"cachingVideo\" = ?, \"cachedVideo\" = ? WHERE Z_PK = ?");
  cd::SqliteStatement subjectCounters = prepared(
      **database, "UPDATE \"QMSubject\" SET \"cachingVideo\" = ?, \"cachedVideo\" = ? WHERE Z_PK = ?");
  auto setCounters = [](cd::SqliteStatement& statement, std::int64_t key, bool done) {
    statement.bindInteger(1, done ? 0 : 1);
    statement.bindInteger(2, done ? 1 : 0);
    statement.bindInteger(3, key);
    static_cast<void>(statement.run());
  };
  bool done = false;
  for (auto _ : state) {
    done = !done;
    static_cast<void>((*database)->begin());
    status.bindInteger(1, done ? app::kQMDownloadDone : app::kQMDownloadWaiting);
    status.bindInteger(2, recordKey);
    static_cast<void>(status.run());
    setCounters(courseCounters, unitKey, done);
    setCounters(courseCounters, chapterKey, done);
    setCounters(stageCounters, stageKey, done);
    setCounters(subjectCounters, subjectKey, done);
    static_cast<void>((*database)->commit());
  }
}
BENCHMARK(BM_HandWrittenStatusChange)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
