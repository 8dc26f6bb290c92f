// Model graphs with a cycle: every road from a model back to values ends in an error, never in a stack that
// runs out; graphs that share a model without a cycle still convert.

#include <gtest/gtest.h>

#include "http_client/mapping/KVCoding.h"
#include "http_client/mapping/KVModel.h"

namespace http_client {
namespace {

struct Node {
  std::string name;
  std::shared_ptr<Node> next;
  std::vector<std::shared_ptr<Node>> children;
  static constexpr const char* kvClassName = "KVTestNode";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {QM_KV_PROPERTY(Node, name), QM_KV_PROPERTY(Node, next), QM_KV_PROPERTY(Node, children)};
  }
  static KVClassDictionary objectClassInArray() { return {{"children", "KVTestNode"}}; }
};

std::shared_ptr<Node> node(std::string name) {
  auto made = std::make_shared<Node>();
  made->name = std::move(name);
  return made;
}

// Two nodes that hold each other, one through a property and one through an array; cut again when the test
// ends, so that the pair is freed.
class KVCyclicGraphTest : public testing::Test {
 protected:
  KVCyclicGraphTest() {
    first_->children = {second_};
    second_->next = first_;
  }
  ~KVCyclicGraphTest() override { second_->next.reset(); }

  std::shared_ptr<Node> first_ = node("first");
  std::shared_ptr<Node> second_ = node("second");
};

TEST_F(KVCyclicGraphTest, ACycleHasNoDictionaryNoJSONAndMakesNoModel) {
  EXPECT_FALSE(kv_keyValues(*first_).has_value());
  ASSERT_TRUE(kv_error<Node>().has_value());
  EXPECT_EQ(kv_error<Node>()->code(), kKVErrorCode);
  EXPECT_NE(kv_error<Node>()->domain().find("cycle"), std::string::npos);

  EXPECT_TRUE(kv_JSONObject(kvModelObject(first_)).isNone());
  EXPECT_FALSE(kv_JSONData(kvModelObject(second_)).has_value());
  EXPECT_FALSE(kv_JSONString(kvModelObject(first_)).has_value());
  EXPECT_FALSE(kv_keyValuesArrayWithObjectArray(std::vector{node("alone"), first_}, {}, {}).has_value());
  EXPECT_EQ(kv_objectWithKeyValues<Node>(kvModelObject(first_)), nullptr);
  EXPECT_EQ(kv_error<Node>()->domain(), kKVNotADictionaryError);

  // A model that holds itself directly is a cycle too.
  const std::shared_ptr<Node> self = node("self");
  self->next = self;
  EXPECT_FALSE(kv_keyValues(*self).has_value());
  self->next.reset();
}

TEST_F(KVCyclicGraphTest, ACycleWritesNoArchive) {
  ns::Dictionary coder{{"kept", 1}};
  const ns::Status encoded = kv_encode(*first_, coder);
  ASSERT_FALSE(encoded.ok());
  EXPECT_NE(encoded.error().domain().find("cycle"), std::string::npos);
  EXPECT_EQ(coder, (ns::Dictionary{{"kept", 1}}));
}

TEST_F(KVCyclicGraphTest, AModelSharedWithoutACycleAppearsWhereverItIsHeld) {
  second_->next.reset();
  const std::shared_ptr<Node> shared = node("shared");
  first_->next = shared;
  first_->children = {shared, shared};
  const ns::Value sharedDictionary(ns::Dictionary{{"name", "shared"}, {"children", ns::Array{}}});
  EXPECT_EQ(kv_keyValues(*first_),
            (ns::Dictionary{{"name", "first"},
                            {"next", sharedDictionary},
                            {"children", ns::Array{sharedDictionary, sharedDictionary}}}));
  EXPECT_FALSE(kv_error<Node>().has_value());
  ns::Dictionary coder;
  EXPECT_TRUE(kv_encode(*first_, coder).ok());
  EXPECT_EQ(coder.at("next"), sharedDictionary);
}

}  // namespace
}  // namespace http_client
