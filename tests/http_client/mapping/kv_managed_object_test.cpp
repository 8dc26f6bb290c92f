// Managed-object models made by the mapping inside an object-store context over a real SQLite file: they
// are inserted into the context and saved with it; without a context none is made.

#include <gtest/gtest.h>

#include "http_client/mapping/KVFoundation.h"
#include "http_client/mapping/KVKeyValueDeprecated.h"
#include "http_client/mapping/KVModel.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/foundation/storage/Sandbox.h"
#include "support/scoped_scratch_home.h"

namespace http_client {
namespace {

class Lesson : public cd::ManagedObject {
 public:
  enum Attribute { kTitle, kMinutes };
  std::optional<std::string> title() const { return textValue(kTitle); }
  void setTitle(std::optional<std::string> title) { setTextValue(kTitle, std::move(title)); }
  std::optional<std::int64_t> minutes() const { return integerValue(kMinutes); }
  void setMinutes(std::optional<std::int64_t> minutes) { setIntegerValue(kMinutes, minutes); }

  static constexpr const char* kvClassName = "KVTestLesson";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {kvDeclareAccessorProperty("title", &Lesson::title, &Lesson::setTitle),
            kvDeclareAccessorProperty("minutes", &Lesson::minutes, &Lesson::setMinutes)};
  }
};

std::shared_ptr<const cd::ManagedObjectModel> lessonModel() {
  return std::make_shared<const cd::ManagedObjectModel>(
      "Lessons", std::vector<cd::EntityDescription>{cd::EntityDescription(
                     "KVTestLesson", [] { return std::make_shared<Lesson>(); },
                     {{"title", cd::AttributeType::kText}, {"minutes", cd::AttributeType::kInteger}}, {})});
}

std::shared_ptr<cd::ManagedObjectContext> openContext(const std::string& path) {
  auto coordinator = std::make_shared<cd::PersistentStoreCoordinator>(lessonModel());
  EXPECT_TRUE(coordinator->addSQLiteStoreAtPath(path).ok());
  return std::make_shared<cd::ManagedObjectContext>(coordinator);
}

class KVManagedObjectTest : public testing::Test {
 protected:
  testsupport::ScopedScratchHome home_;
  const std::string path_ = ns::Sandbox::temporaryDirectory() + "/lessons.sqlite";
};

TEST_F(KVManagedObjectTest, ModelsAreInsertedIntoTheContextAndSavedWithIt) {
  {
    const auto context = openContext(path_);
    const std::shared_ptr<Lesson> one = kv_objectWithKeyValues<Lesson>(
        ns::Value(ns::Dictionary{{"title", "极限"}, {"minutes", "45"}}), context.get());
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->managedObjectContext(), context.get());
    EXPECT_EQ(one->title(), "极限");
    EXPECT_EQ(one->minutes(), 45);
    const std::optional<std::vector<std::shared_ptr<Lesson>>> more = kv_objectArrayWithKeyValuesArray<Lesson>(
        ns::Value(R"([{"title":"导数"},null,{"minutes":30}])"), context.get());
    ASSERT_EQ(more->size(), 2u);
    EXPECT_EQ((*more)[1]->minutes(), 30);
    EXPECT_EQ(kv_keyValues(*one), (ns::Dictionary{{"title", "极限"}, {"minutes", 45}}));
    ASSERT_TRUE(context->save().ok());
  }
  const auto reopened = openContext(path_);
  const auto saved = reopened->executeFetchRequest(cd::FetchRequest{"KVTestLesson", std::nullopt, {}});
  ASSERT_TRUE(saved.ok());
  ASSERT_EQ(saved->size(), 3u);
  EXPECT_EQ(std::dynamic_pointer_cast<Lesson>(saved->front())->title(), "极限");
}

TEST_F(KVManagedObjectTest, WithoutAContextNoManagedModelIsMade) {
  std::optional<ns::Error> error;
  EXPECT_FALSE(objectWithKeyValues(kvClassOf<Lesson>(), ns::Value(ns::Dictionary{{"title", "x"}}), &error));
  ASSERT_TRUE(error.has_value());
  EXPECT_NE(error->domain().find("context"), std::string::npos);

  const auto context = openContext(path_);
  EXPECT_TRUE(objectWithKeyValues(kvClassOf<Lesson>(), ns::Value(ns::Dictionary{{"title", "x"}}),
                                  context.get(), &error));
  EXPECT_FALSE(error.has_value());
  EXPECT_TRUE(KVFoundation::isClassFromFoundation(KVClass::named("NSManagedObject")));
  EXPECT_FALSE(KVFoundation::isClassFromFoundation(&kvClassOf<Lesson>()));
}

}  // namespace
}  // namespace http_client
