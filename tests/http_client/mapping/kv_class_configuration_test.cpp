#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "http_client/mapping/KVModel.h"
#include "http_client/mapping/KVObjectClass.h"
#include "http_client/mapping/KVObjectProperty.h"
#include "kv_test_models.h"

namespace http_client {
namespace {

std::vector<std::string> propertyNames(KVClass& cls) {
  std::vector<std::string> names;
  for (const KVProperty* property : properties(cls)) {
    names.push_back(property->name());
  }
  return names;
}

KVProperty& propertyNamed(KVClass& cls, std::string_view name) {
  for (KVProperty* property : properties(cls)) {
    if (property->name() == name) {
      return *property;
    }
  }
  ADD_FAILURE() << "no property " << name;
  return *properties(cls).front();
}

// Keys from the new hooks and the older ones, in the order of their precedence.
struct Renamed {
  std::string name;
  std::string first;
  std::string alternative;
  std::string byFunction;
  std::string olderSilent;
  static constexpr const char* kvClassName = "KVTestRenamed";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {QM_KV_PROPERTY(Renamed, name), QM_KV_PROPERTY(Renamed, first),
            QM_KV_PROPERTY(Renamed, alternative), QM_KV_PROPERTY(Renamed, byFunction),
            QM_KV_PROPERTY(Renamed, olderSilent)};
  }
  static std::optional<KVKey> kv_replacedKeyFromPropertyName121(std::string_view name) {
    if (name == "byFunction" || name == "olderSilent") {
      return KVKey{"fn_" + std::string(name)};
    }
    return std::nullopt;
  }
  // The older function decides alone: it gives no key for olderSilent, which then comes from the dictionary.
  static std::optional<KVKey> replacedKeyFromPropertyName121(std::string_view name) {
    if (name == "byFunction") {
      return KVKey{"older_fn"};
    }
    return std::nullopt;
  }
  static KVKeyDictionary kv_replacedKeyFromPropertyName() {
    return {{"name", {"info.name"}}, {"first", {"list[1]"}}, {"alternative", {"x", "y.z"}}};
  }
  static KVKeyDictionary replacedKeyFromPropertyName() {
    return {{"name", {"ignored"}}, {"olderSilent", {"silent"}}};
  }
};

TEST(KVClassConfigurationTest, ReplacedKeysFollowTheHooksInTheirOrder) {
  KVClass& cls = kvClassOf<Renamed>();
  struct Case {
    const char* property;
    std::vector<KVKeyPath> keyPaths;
  };
  const Case cases[] = {
      {"name", {{{"info"}, {"name"}}}},
      {"first", {{{"list"}, {"1", KVPropertyKeyType::kArray}}}},
      {"alternative", {{{"x"}}, {{"y"}, {"z"}}}},
      {"byFunction", {{{"older_fn"}}}},
      {"olderSilent", {{{"silent"}}}},
  };
  for (const Case& c : cases) {
    const std::vector<KVKeyPath>* keyPaths = propertyNamed(cls, c.property).propertyKeysForClass(cls);
    ASSERT_NE(keyPaths, nullptr) << c.property;
    EXPECT_EQ(*keyPaths, c.keyPaths) << c.property;
  }
}

TEST(KVClassConfigurationTest, ValuesAreFoundAlongTheKeyPathsAndStoredBackAlongThem) {
  const ns::Value input(ns::Dictionary{{"info", ns::Dictionary{{"name", "Li"}}},
                                       {"list", ns::Array{"zero", "one"}},
                                       {"y", ns::Dictionary{{"z", "second choice"}}},
                                       {"older_fn", "older"}});
  const std::shared_ptr<Renamed> model = kv_objectWithKeyValues<Renamed>(input);
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->name, "Li");
  EXPECT_EQ(model->first, "one");
  EXPECT_EQ(model->alternative, "second choice");
  EXPECT_EQ(model->byFunction, "older");

  const ns::Dictionary back = *kv_keyValuesWithKeys(*model, {"name", "first"}, {});
  EXPECT_EQ(ns::Value(back), ns::Value(ns::Dictionary{{"info", ns::Dictionary{{"name", "Li"}}},
                                                      {"list", ns::Array{nullptr, "one"}}}));
}

TEST(KVClassConfigurationTest, TheFlagClearedStoresUnderThePropertyNames) {
  KVClass& cls = kvClassOf<Renamed>();
  Renamed model;
  model.name = "Li";
  kv_referenceReplacedKeyWhenCreatingKeyValues(cls, false);
  const ns::Dictionary plain = *kv_keyValuesWithKeys(model, {"name"}, {});
  cls.registrations().referenceReplacedKeyWhenCreatingKeyValues.reset();
  EXPECT_EQ(ns::Value(plain), ns::Value(ns::Dictionary{{"name", "Li"}}));
  EXPECT_TRUE(kv_isReferenceReplacedKeyWhenCreatingKeyValues(cls));
}

TEST(KVClassConfigurationTest, TheOlderElementClassHookDecidesAlone) {
  KVClass& cls = kvClassOf<kvtest::Order>();
  kvClassOf<kvtest::Item>();
  EXPECT_EQ(propertyNamed(cls, "items").objectClassInArrayForClass(cls), &kvClassOf<kvtest::Item>());
  EXPECT_EQ(propertyNamed(cls, "gifts").objectClassInArrayForClass(cls), &kvClassOf<kvtest::Item>());
  EXPECT_EQ(propertyNamed(cls, "notes").objectClassInArrayForClass(cls), nullptr);

  const std::shared_ptr<kvtest::Order> order = kv_objectWithKeyValues<kvtest::Order>(ns::Value(
      ns::Dictionary{{"orderId", 12},
                     {"items", ns::Array{ns::Dictionary{{"title", "book"}, {"quantity", "2"}}, nullptr}},
                     {"notes", ns::Array{ns::Dictionary{{"title", "kept as it is"}}}}}));
  ASSERT_NE(order, nullptr);
  EXPECT_EQ(order->orderId, "12");
  ASSERT_EQ(order->items.size(), 1u);
  EXPECT_EQ(order->items[0]->title, "book");
  EXPECT_EQ(order->items[0]->quantity, 2);
  EXPECT_EQ(order->notes, (ns::Array{ns::Dictionary{{"title", "kept as it is"}}}));
}

struct Plain {
  std::string title;
  ns::Array parts;
  static constexpr const char* kvClassName = "KVTestPlain";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {QM_KV_PROPERTY(Plain, title), QM_KV_PROPERTY(Plain, parts)};
  }
};

TEST(KVClassConfigurationTest, RegistrationsRebuildThePropertyListsUntilRemoved) {
  KVClass& cls = kvClassOf<Plain>();
  kvClassOf<kvtest::Item>();
  const ns::Value input(ns::Dictionary{{"title", "by name"}, {"head", "by registration"}});
  EXPECT_EQ(kv_objectWithKeyValues<Plain>(input)->title, "by name");

  kv_setupReplacedKeyFromPropertyName(cls, [] { return KVKeyDictionary{{"title", {"head"}}}; });
  EXPECT_EQ(kv_objectWithKeyValues<Plain>(input)->title, "by registration");
  kv_setupReplacedKeyFromPropertyName(cls, nullptr);
  EXPECT_EQ(kv_objectWithKeyValues<Plain>(input)->title, "by name");

  kv_setupReplacedKeyFromPropertyName121(cls, [](std::string_view name) {
    return name == "title" ? std::optional<KVKey>({"head"}) : std::nullopt;
  });
  EXPECT_EQ(kv_objectWithKeyValues<Plain>(input)->title, "by registration");
  kv_setupReplacedKeyFromPropertyName121(cls, nullptr);
  EXPECT_EQ(kv_objectWithKeyValues<Plain>(input)->title, "by name");
}

TEST(KVClassConfigurationTest, ARemovedElementClassNoLongerMapsTheElements) {
  KVClass& cls = kvClassOf<Plain>();
  kvClassOf<kvtest::Item>();
  const ns::Value input(ns::Dictionary{{"parts", ns::Array{ns::Dictionary{{"title", "x"}}}}});

  kv_setupObjectClassInArray(cls, [] { return KVClassDictionary{{"parts", "KVTestItem"}}; });
  EXPECT_EQ(propertyNamed(cls, "parts").objectClassInArrayForClass(cls), &kvClassOf<kvtest::Item>());
  kv_objectWithKeyValues<Plain>(input);
  ASSERT_TRUE(kv_error<Plain>().has_value()) << "models cannot stand in an array of plain values";

  kv_setupObjectClassInArray(cls, nullptr);
  EXPECT_EQ(propertyNamed(cls, "parts").objectClassInArrayForClass(cls), nullptr);
  const std::shared_ptr<Plain> model = kv_objectWithKeyValues<Plain>(input);
  EXPECT_EQ(model->parts, (ns::Array{ns::Dictionary{{"title", "x"}}}));
  EXPECT_FALSE(kv_error<Plain>().has_value());
}

TEST(KVClassConfigurationTest, ASubclassListsItsOwnPropertiesFirstAndNeverThePlatformNames) {
  EXPECT_EQ(propertyNames(kvClassOf<kvtest::Student>()), (std::vector<std::string>{"school", "name", "age"}));
  const std::shared_ptr<kvtest::Student> student =
      kv_objectWithKeyValues<kvtest::Student>(ns::Value(ns::Dictionary{
          {"school", "No. 1"}, {"name", "Wang"}, {"age", "15"}, {"description", "d"}, {"hash", 5}}));
  ASSERT_NE(student, nullptr);
  EXPECT_EQ(student->school, "No. 1");
  EXPECT_EQ(student->name, "Wang");
  EXPECT_EQ(student->age, 15);
  EXPECT_EQ(student->description, "");
  EXPECT_EQ(student->hash, 0);
  EXPECT_EQ(ns::Value(*kv_keyValues(*student)),
            ns::Value(ns::Dictionary{{"school", "No. 1"}, {"name", "Wang"}, {"age", 15}}));
}

TEST(KVClassConfigurationTest, ClassWalksStopAtThePlatformOrGoToTheRoot) {
  const auto walk = [](void (*enumerate)(KVClass&, const KVClassVisitor&), int limit) {
    std::vector<std::string> names;
    enumerate(kvClassOf<kvtest::Student>(), [&](KVClass& cls, bool& stop) {
      names.push_back(cls.name());
      stop = static_cast<int>(names.size()) == limit;
    });
    return names;
  };
  EXPECT_EQ(walk(kv_enumerateClasses, 10), (std::vector<std::string>{"KVTestStudent", "KVTestPerson"}));
  EXPECT_EQ(walk(kv_enumerateAllClasses, 10),
            (std::vector<std::string>{"KVTestStudent", "KVTestPerson", "NSObject"}));
  EXPECT_EQ(walk(kv_enumerateAllClasses, 1), (std::vector<std::string>{"KVTestStudent"}));
}

TEST(KVClassConfigurationTest, AllowedAndIgnoredNamesComeFromHooksAndEveryClassOnTheWay) {
  KVClass& person = kvClassOf<kvtest::Person>();
  KVClass& student = kvClassOf<kvtest::Student>();
  kv_setupIgnoredPropertyNames(person, [] { return KVNameList{"age"}; });
  kv_setupAllowedPropertyNames(student, [] { return KVNameList{"name", "age"}; });
  EXPECT_EQ(kv_totalIgnoredPropertyNames(student), KVNameList{"age"});
  const std::shared_ptr<kvtest::Student> model = kv_objectWithKeyValues<kvtest::Student>(
      ns::Value(ns::Dictionary{{"school", "No. 2"}, {"name", "Zhao"}, {"age", 16}}));
  kv_setupIgnoredPropertyNames(person, nullptr);
  kv_setupAllowedPropertyNames(student, nullptr);
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->school, "");
  EXPECT_EQ(model->name, "Zhao");
  EXPECT_EQ(model->age, 0);
}

// Filters of every kind: the object's own hook wins over everything.
struct Filtered {
  std::string text;
  std::int64_t number = 0;
  static constexpr const char* kvClassName = "KVTestFiltered";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {QM_KV_PROPERTY(Filtered, text), QM_KV_PROPERTY(Filtered, number)};
  }
  KVFilteredValue kv_newValueFromOldValue(const KVObject& oldValue, const KVProperty& property) const {
    if (property.name() == "text" && oldValue.isNone()) {
      return KVObject(ns::Value("was missing"));
    }
    if (property.name() == "number") {
      return KVObject();
    }
    return std::nullopt;
  }
  void kv_keyValuesDidFinishConvertingToObject() { text += " (filled)"; }
};

struct OlderFiltered {
  std::string text;
  static constexpr const char* kvClassName = "KVTestOlderFiltered";
  static std::vector<KVPropertyDeclaration> kvProperties() { return {QM_KV_PROPERTY(OlderFiltered, text)}; }
  static KVFilteredValue newValueFromOldValue(const KVObject& oldValue, const KVProperty&) {
    if (const ns::Value* value = oldValue.value(); value != nullptr && value->isString()) {
      return KVObject(ns::Value(value->asString() + "!"));
    }
    return std::nullopt;
  }
};

TEST(KVClassConfigurationTest, ValueFiltersReplaceWhatIsAssigned) {
  const std::shared_ptr<Filtered> filtered =
      kv_objectWithKeyValues<Filtered>(ns::Value(ns::Dictionary{{"number", 5}}));
  ASSERT_NE(filtered, nullptr);
  EXPECT_EQ(filtered->text, "was missing (filled)");
  EXPECT_EQ(filtered->number, 0) << "a filter answering none assigns nothing";

  EXPECT_EQ(kv_objectWithKeyValues<OlderFiltered>(ns::Value(ns::Dictionary{{"text", "hi"}}))->text, "hi!");

  KVClass& cls = kvClassOf<kvtest::Person>();
  kv_setupNewValueFromOldValue(cls,
                               [](const void* object, const KVObject& oldValue, const KVProperty& property) {
                                 EXPECT_NE(static_cast<const kvtest::Person*>(object), nullptr);
                                 if (property.name() == "age" && oldValue.isNone()) {
                                   return KVFilteredValue(KVObject(ns::Value(18)));
                                 }
                                 return KVFilteredValue();
                               });
  const std::shared_ptr<kvtest::Student> student =
      kv_objectWithKeyValues<kvtest::Student>(ns::Value(ns::Dictionary{{"name", "Sun"}}));
  kv_setupNewValueFromOldValue(cls, nullptr);
  ASSERT_NE(student, nullptr);
  EXPECT_EQ(student->age, 18) << "a filter registered on a superclass serves its subclasses";
  EXPECT_EQ(student->name, "Sun");
}

}  // namespace
}  // namespace http_client
