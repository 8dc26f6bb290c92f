#pragma once

// Model classes shared by the mapping tests: scalars, texts and values, a nested model, arrays of models and
// a subclass.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "http_client/mapping/KVModel.h"

namespace kvtest {

using http_client::KVPropertyDeclaration;

struct Address {
  std::string city;
  std::int64_t zip = 0;
  static constexpr const char* kvClassName = "KVTestAddress";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {QM_KV_PROPERTY(Address, city), QM_KV_PROPERTY(Address, zip)};
  }
};

struct Scalars {
  double ratio = 0;
  int count = 0;
  bool flag = false;
  std::int64_t big = 0;
  std::uint8_t small = 0;
  std::uint64_t views = 0;
  float real = 0;
  std::string text;
  ns::Value anything;
  ns::Array list;
  ns::Dictionary info;
  std::optional<ns::URL> link;
  std::optional<http_client::KVDecimalNumber> price;
  std::optional<double> amount;
  std::shared_ptr<Address> address;
  static constexpr const char* kvClassName = "KVTestScalars";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {
        QM_KV_PROPERTY(Scalars, ratio), QM_KV_PROPERTY(Scalars, count),  QM_KV_PROPERTY(Scalars, flag),
        QM_KV_PROPERTY(Scalars, big),   QM_KV_PROPERTY(Scalars, small),  QM_KV_PROPERTY(Scalars, views),
        QM_KV_PROPERTY(Scalars, real),  QM_KV_PROPERTY(Scalars, text),   QM_KV_PROPERTY(Scalars, anything),
        QM_KV_PROPERTY(Scalars, list),  QM_KV_PROPERTY(Scalars, info),   QM_KV_PROPERTY(Scalars, link),
        QM_KV_PROPERTY(Scalars, price), QM_KV_PROPERTY(Scalars, amount), QM_KV_PROPERTY(Scalars, address)};
  }
};

struct Item {
  std::string title;
  std::int64_t quantity = 0;
  static constexpr const char* kvClassName = "KVTestItem";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {QM_KV_PROPERTY(Item, title), QM_KV_PROPERTY(Item, quantity)};
  }
};

// An order whose array element classes come from the older hook, as the purchase-flow replies name them.
struct Order {
  std::string orderId;
  std::vector<std::shared_ptr<Item>> items;
  ns::Array gifts;
  ns::Array notes;
  static constexpr const char* kvClassName = "KVTestOrder";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {QM_KV_PROPERTY(Order, orderId), QM_KV_PROPERTY(Order, items), QM_KV_PROPERTY(Order, gifts),
            QM_KV_PROPERTY(Order, notes)};
  }
  static http_client::KVClassDictionary kv_objectClassInArray() {
    return {{"gifts", "KVTestItem"}, {"notes", "KVTestItem"}};
  }
  static http_client::KVClassDictionary objectClassInArray() {
    return {{"items", "KVTestItem"}, {"gifts", "KVTestItem"}};
  }
};

struct Person {
  std::string name;
  std::int64_t age = 0;
  static constexpr const char* kvClassName = "KVTestPerson";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {QM_KV_PROPERTY(Person, name), QM_KV_PROPERTY(Person, age)};
  }
};

// A subclass with members named as every platform object's own properties, which are never mapped.
struct Student : Person {
  using KVSuperclass = Person;
  std::string school;
  std::string description;
  std::int64_t hash = 0;
  static constexpr const char* kvClassName = "KVTestStudent";
  static std::vector<KVPropertyDeclaration> kvProperties() {
    return {QM_KV_PROPERTY(Student, school), QM_KV_PROPERTY(Student, description),
            QM_KV_PROPERTY(Student, hash)};
  }
};

}  // namespace kvtest
