// Maps arbitrary JSON onto a nested model (texts, numbers of every width, a decimal number, a URL, any
// value, a nested model of its own class and an array of models) and back to a dictionary, then maps that
// dictionary again: the second round must give the same dictionary as the first, and nothing may crash on
// the way, whatever the reply holds.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "http_client/mapping/KVModel.h"
#include "platform/foundation/formats/JSONSerialization.h"

namespace {

using http_client::KVPropertyDeclaration;

struct Lesson {
  std::string title;
  std::int64_t seconds = 0;
  bool free = false;
  static constexpr const char* kvClassName = "FuzzLesson";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {QM_KV_PROPERTY(Lesson, title), QM_KV_PROPERTY(Lesson, seconds), QM_KV_PROPERTY(Lesson, free)};
  }
};

struct Course {
  std::string name;
  int level = 0;
  std::uint8_t grade = 0;
  std::uint64_t views = 0;
  float rating = 0;
  double progress = 0;
  bool published = false;
  std::optional<http_client::KVDecimalNumber> price;
  std::optional<std::int64_t> teacherId;
  std::optional<ns::URL> cover;
  ns::Value extra;
  std::shared_ptr<Course> next;
  std::vector<std::shared_ptr<Lesson>> lessons;
  static constexpr const char* kvClassName = "FuzzCourse";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {
        QM_KV_PROPERTY(Course, name),      QM_KV_PROPERTY(Course, level),  QM_KV_PROPERTY(Course, grade),
        QM_KV_PROPERTY(Course, views),     QM_KV_PROPERTY(Course, rating), QM_KV_PROPERTY(Course, progress),
        QM_KV_PROPERTY(Course, published), QM_KV_PROPERTY(Course, price),  QM_KV_PROPERTY(Course, teacherId),
        QM_KV_PROPERTY(Course, cover),     QM_KV_PROPERTY(Course, extra),  QM_KV_PROPERTY(Course, next),
        QM_KV_PROPERTY(Course, lessons)};
  }
  // Some values sit deeper in the reply, and one has two places.
  static http_client::KVKeyDictionary kv_replacedKeyFromPropertyName() {
    return {{"progress", {"stats.progress"}},
            {"teacherId", {"teacher.id", "teacherId"}},
            {"grade", {"grades[0]"}}};
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ns::Result<ns::Value> parsed = ns::JSONSerialization::JSONObjectWithData(text);
  if (!parsed.ok()) {
    return 0;
  }
  const std::shared_ptr<Course> course = http_client::kv_objectWithKeyValues<Course>(*parsed);
  requireProperty((course != nullptr) == parsed->isDictionary(), "a dictionary, and only one, gives a model");
  const std::optional<std::vector<std::shared_ptr<Course>>> courses =
      http_client::kv_objectArrayWithKeyValuesArray<Course>(*parsed);
  requireProperty(courses.has_value() == parsed->isArray(), "an array, and only one, gives models");
  if (course == nullptr) {
    return 0;
  }
  // A model made from JSON is a tree: it always has a dictionary.
  const std::optional<ns::Dictionary> first = http_client::kv_keyValues(*course);
  requireProperty(first.has_value(), "a model made from JSON has a dictionary");
  const std::shared_ptr<Course> again = http_client::kv_objectWithKeyValues<Course>(ns::Value(*first));
  requireProperty(again != nullptr, "a model's dictionary maps back");
  requireProperty(http_client::kv_keyValues(*again) == first,
                  "a model's dictionary maps back to the same model");
  return 0;
}
