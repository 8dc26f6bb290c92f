// The dictionary-to-model mapping against nlohmann-json's own from_json, in one run: 100,000 course models
// of 12 fields (texts, integers, doubles, a boolean, a nested teacher model and an array of chapter models)
// made from an already parsed reply, each side from its own parsed form of the same JSON text.
// Target: the mapping takes at most 3 times as long as from_json. Build Release without sanitizers.

#include <benchmark/benchmark.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "http_client/mapping/KVModel.h"
#include "platform/foundation/formats/JSONSerialization.h"

namespace {

using http_client::KVPropertyDeclaration;

constexpr int kModels = 100000;

struct Chapter {
  std::string title;
  std::int64_t seconds = 0;
  static constexpr const char* kvClassName = "BenchChapter";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {QM_KV_PROPERTY(Chapter, title), QM_KV_PROPERTY(Chapter, seconds)};
  }
};

struct Teacher {
  std::string name;
  std::string rank;
  static constexpr const char* kvClassName = "BenchTeacher";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {QM_KV_PROPERTY(Teacher, name), QM_KV_PROPERTY(Teacher, rank)};
  }
};

struct Course {
  std::string courseId;
  std::string title;
  std::string subject;
  double price = 0;
  std::int64_t lessonCount = 0;
  double rating = 0;
  bool free = false;
  int level = 0;
  std::int64_t views = 0;
  double progress = 0;
  std::shared_ptr<Teacher> teacher;
  std::vector<std::shared_ptr<Chapter>> chapters;
  static constexpr const char* kvClassName = "BenchCourse";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {QM_KV_PROPERTY(Course, courseId),    QM_KV_PROPERTY(Course, title),
            QM_KV_PROPERTY(Course, subject),     QM_KV_PROPERTY(Course, price),
            QM_KV_PROPERTY(Course, lessonCount), QM_KV_PROPERTY(Course, rating),
            QM_KV_PROPERTY(Course, free),        QM_KV_PROPERTY(Course, level),
            QM_KV_PROPERTY(Course, views),       QM_KV_PROPERTY(Course, progress),
            QM_KV_PROPERTY(Course, teacher),     QM_KV_PROPERTY(Course, chapters)};
  }
};

void from_json(const nlohmann::json& json, Chapter& chapter) {
  json.at("title").get_to(chapter.title);
  json.at("seconds").get_to(chapter.seconds);
}

void from_json(const nlohmann::json& json, Teacher& teacher) {
  json.at("name").get_to(teacher.name);
  json.at("rank").get_to(teacher.rank);
}

void from_json(const nlohmann::json& json, Course& course) {
  json.at("courseId").get_to(course.courseId);
  json.at("title").get_to(course.title);
  json.at("subject").get_to(course.subject);
  json.at("price").get_to(course.price);
  json.at("lessonCount").get_to(course.lessonCount);
  json.at("rating").get_to(course.rating);
  json.at("free").get_to(course.free);
  json.at("level").get_to(course.level);
  json.at("views").get_to(course.views);
  json.at("progress").get_to(course.progress);
  course.teacher = std::make_shared<Teacher>(json.at("teacher").get<Teacher>());
  course.chapters.clear();
  for (const nlohmann::json& chapter : json.at("chapters")) {
    course.chapters.push_back(std::make_shared<Chapter>(chapter.get<Chapter>()));
  }
}

// 100,000 courses of two chapters each, about 30 MB of JSON text.
const std::string& replyText() {
  static const std::string text = [] {
    nlohmann::json courses = nlohmann::json::array();
    for (int i = 0; i < kModels; ++i) {
      courses.push_back({{"courseId", std::to_string(100000 + i)},
                         {"title", "第" + std::to_string(i % 30 + 1) + "讲 线性代数"},
                         {"subject", "数学"},
                         {"price", 19.9 + i % 10},
                         {"lessonCount", i % 40},
                         {"rating", (i % 50) / 10.0},
                         {"free", i % 3 == 0},
                         {"level", i % 5},
                         {"views", 1000 + i},
                         {"progress", (i % 100) / 100.0},
                         {"teacher", {{"name", "张老师"}, {"rank", "教授"}}},
                         {"chapters",
                          {{{"title", "Chapter one"}, {"seconds", 600 + i % 60}},
                           {{"title", "Chapter two"}, {"seconds", 900}}}}});
    }
    return courses.dump();
  }();
  return text;
}

void BM_MappingFromParsedValue(benchmark::State& state) {
  const ns::Value parsed = *ns::JSONSerialization::JSONObjectWithData(replyText());
  for (auto _ : state) {
    const std::optional<std::vector<std::shared_ptr<Course>>> courses =
        http_client::kv_objectArrayWithKeyValuesArray<Course>(parsed);
    if (!courses || courses->size() != kModels) {
      state.SkipWithError("the mapping made the wrong number of models");
    }
    benchmark::DoNotOptimize(courses);
  }
  state.counters["models"] = kModels;
}
BENCHMARK(BM_MappingFromParsedValue)->Unit(benchmark::kMillisecond);

void BM_NlohmannFromJson(benchmark::State& state) {
  const nlohmann::json parsed = nlohmann::json::parse(replyText());
  for (auto _ : state) {
    std::vector<std::shared_ptr<Course>> courses;
    courses.reserve(parsed.size());
    for (const nlohmann::json& course : parsed) {
      courses.push_back(std::make_shared<Course>(course.get<Course>()));
    }
    benchmark::DoNotOptimize(courses);
  }
  state.counters["models"] = kModels;
}
BENCHMARK(BM_NlohmannFromJson)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
