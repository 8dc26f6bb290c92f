#pragma once

// How the mapping reads and writes a member of each C++ type a model property may have, and the type code
// that the member's type stands for:
//
//   bool "B"; signed and unsigned integers "c" "C" "s" "S" "i" "I" "q" "Q" by size; float "f"; double "d";
//   std::string and std::optional<std::string> "@\"NSString\""; ns::Value (any value) "@"; ns::Array
//   "@\"NSArray\""; ns::Dictionary "@\"NSDictionary\""; ns::Data "@\"NSData\""; ns::Date "@\"NSDate\"";
//   std::optional<ns::URL> "@\"NSURL\""; std::optional<KVDecimalNumber> "@\"NSDecimalNumber\"";
//   std::optional<double>, std::optional<std::int64_t> "@\"NSNumber\"";
//   std::shared_ptr<Model> "@\"Model\""; std::vector<std::shared_ptr<Model>> and std::vector<ns::URL>
//   "@\"NSArray\"" with their element class.
//
// A write that cannot convert the value (a dictionary for a number, a text for an array) leaves the member
// as it was and says why.
//
// Thread-safety: pure functions.

#include <algorithm>
#include <concepts>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "http_client/mapping/KVClass.h"
#include "http_client/mapping/KVObject.h"
#include "platform/foundation/values/Result.h"

namespace http_client {

template <typename T>
KVClass& kvClassOf();

// Returns the reason that `value` cannot be assigned to a member of the kind `kind`.
ns::Error kvAssignmentError(const KVObject& value, std::string_view kind);

// Returns the number that a value for a scalar member stands for: numbers and texts as values (texts read
// as the platform reads them), decimal numbers as numbers. std::nullopt for every other kind.
std::optional<ns::Value> kvScalarSource(const KVObject& value);

// Returns the number as an unsigned 64-bit integer: negative numbers give 0, too large ones the largest.
std::uint64_t kvUnsigned64Value(const ns::Value& number);

template <typename Member>
struct KVMemberTraits;

template <typename Integer>
requires(std::is_integral_v<Integer> && !std::is_same_v<Integer, bool>) struct KVMemberTraits<Integer> {
  // 64-bit unsigned numbers do not all fit in the platform's signed integer values.
  static constexpr bool kWideUnsigned = std::is_unsigned_v<Integer> && sizeof(Integer) == 8;
  static std::string typeCode() {
    constexpr const char* kSigned[] = {"c", "s", "", "i", "", "", "", "q"};
    constexpr const char* kUnsigned[] = {"C", "S", "", "I", "", "", "", "Q"};
    return std::is_signed_v<Integer> ? kSigned[sizeof(Integer) - 1] : kUnsigned[sizeof(Integer) - 1];
  }
  static KVObject read(const Integer& member) {
    if constexpr (kWideUnsigned) {
      return member <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())
                 ? ns::Value(static_cast<std::int64_t>(member))
                 : ns::Value(static_cast<double>(member));
    } else {
      return ns::Value(member);
    }
  }
  static ns::Status write(Integer& member, const KVObject& value) {
    const std::optional<ns::Value> source = kvScalarSource(value);
    if (!source) {
      return kvAssignmentError(value, "an integer");
    }
    // Out-of-range numbers stop at the type's limits rather than wrapping.
    if constexpr (kWideUnsigned) {
      member = kvUnsigned64Value(*source);
    } else {
      const std::int64_t whole = source->integerValue();
      member = static_cast<Integer>(std::clamp<std::int64_t>(whole, std::numeric_limits<Integer>::min(),
                                                             std::numeric_limits<Integer>::max()));
    }
    return {};
  }
  static KVClass* elementClass() { return nullptr; }
};

template <>
struct KVMemberTraits<bool> {
  static std::string typeCode() { return "B"; }
  static KVObject read(const bool& member) { return ns::Value(member); }
  static ns::Status write(bool& member, const KVObject& value);
  static KVClass* elementClass() { return nullptr; }
};

template <typename Real>
requires std::is_floating_point_v<Real>
struct KVMemberTraits<Real> {
  static std::string typeCode() { return std::is_same_v<Real, float> ? "f" : "d"; }
  static KVObject read(const Real& member) { return ns::Value(static_cast<double>(member)); }
  static ns::Status write(Real& member, const KVObject& value) {
    const std::optional<ns::Value> source = kvScalarSource(value);
    if (!source) {
      return kvAssignmentError(value, "a number");
    }
    member = static_cast<Real>(source->doubleValue());
    return {};
  }
  static KVClass* elementClass() { return nullptr; }
};

// Members that hold one kind of platform value.
template <typename Member>
struct KVPlainMemberTraits {
  static KVObject read(const Member& member) { return ns::Value(member); }
  static ns::Status write(Member& member, const KVObject& value);
  static KVClass* elementClass() { return nullptr; }
};

template <>
struct KVMemberTraits<std::string> : KVPlainMemberTraits<std::string> {
  static std::string typeCode() { return "@\"NSString\""; }
};
template <>
struct KVMemberTraits<ns::Array> : KVPlainMemberTraits<ns::Array> {
  static std::string typeCode() { return "@\"NSArray\""; }
};
template <>
struct KVMemberTraits<ns::Dictionary> : KVPlainMemberTraits<ns::Dictionary> {
  static std::string typeCode() { return "@\"NSDictionary\""; }
};
template <>
struct KVMemberTraits<ns::Data> : KVPlainMemberTraits<ns::Data> {
  static std::string typeCode() { return "@\"NSData\""; }
};
template <>
struct KVMemberTraits<ns::Date> : KVPlainMemberTraits<ns::Date> {
  static std::string typeCode() { return "@\"NSDate\""; }
};

// A text that may be missing, as a managed object's text attribute is.
template <>
struct KVMemberTraits<std::optional<std::string>> {
  static std::string typeCode() { return "@\"NSString\""; }
  static KVObject read(const std::optional<std::string>& member) {
    return member ? KVObject(ns::Value(*member)) : KVObject();
  }
  static ns::Status write(std::optional<std::string>& member, const KVObject& value) {
    std::string text;
    const ns::Status written = KVMemberTraits<std::string>::write(text, value);
    if (written.ok()) {
      member = std::move(text);
    }
    return written;
  }
  static KVClass* elementClass() { return nullptr; }
};

template <>
struct KVMemberTraits<ns::Value> {
  static std::string typeCode() { return "@"; }
  static KVObject read(const ns::Value& member) { return member; }
  static ns::Status write(ns::Value& member, const KVObject& value);
  static KVClass* elementClass() { return nullptr; }
};

template <>
struct KVMemberTraits<std::optional<ns::URL>> {
  static std::string typeCode() { return "@\"NSURL\""; }
  static KVObject read(const std::optional<ns::URL>& member) {
    return member ? KVObject(*member) : KVObject();
  }
  static ns::Status write(std::optional<ns::URL>& member, const KVObject& value);
  static KVClass* elementClass() { return nullptr; }
};

template <>
struct KVMemberTraits<std::optional<KVDecimalNumber>> {
  static std::string typeCode() { return "@\"NSDecimalNumber\""; }
  static KVObject read(const std::optional<KVDecimalNumber>& member) {
    return member ? KVObject(*member) : KVObject();
  }
  static ns::Status write(std::optional<KVDecimalNumber>& member, const KVObject& value);
  static KVClass* elementClass() { return nullptr; }
};

template <typename Number>
requires(std::is_same_v<Number, double> ||
         std::is_same_v<Number, std::int64_t>) struct KVMemberTraits<std::optional<Number>> {
  static std::string typeCode() { return "@\"NSNumber\""; }
  static KVObject read(const std::optional<Number>& member) {
    return member ? KVObject(ns::Value(*member)) : KVObject();
  }
  static ns::Status write(std::optional<Number>& member, const KVObject& value) {
    const std::optional<ns::Value> source = kvScalarSource(value);
    if (!source || source->isString()) {
      return kvAssignmentError(value, "a number object");
    }
    if constexpr (std::is_same_v<Number, double>) {
      member = source->doubleValue();
    } else {
      member = source->integerValue();
    }
    return {};
  }
  static KVClass* elementClass() { return nullptr; }
};

template <typename Model>
struct KVMemberTraits<std::shared_ptr<Model>> {
  static std::string typeCode() { return "@\"" + kvClassOf<Model>().name() + "\""; }
  static KVObject read(const std::shared_ptr<Model>& member) {
    return member ? KVObject(KVModelRef{&kvClassOf<Model>(), member}) : KVObject();
  }
  static ns::Status write(std::shared_ptr<Model>& member, const KVObject& value) {
    std::shared_ptr<Model> model = modelFrom(value);
    if (model == nullptr) {
      return kvAssignmentError(value, kvClassOf<Model>().name());
    }
    member = std::move(model);
    return {};
  }
  static KVClass* elementClass() { return nullptr; }

  // Returns the model that `value` holds seen as a Model, or nullptr when it holds no model of that class
  // or a subclass.
  static std::shared_ptr<Model> modelFrom(const KVObject& value) {
    const KVModelRef* ref = value.model();
    KVClass& modelClass = kvClassOf<Model>();
    if (ref == nullptr || !ref->modelClass->isSubclassOf(modelClass)) {
      return nullptr;
    }
    return std::shared_ptr<Model>(
        ref->object, static_cast<Model*>(ref->modelClass->upcast(ref->object.get(), modelClass)));
  }
};

template <typename Model>
struct KVMemberTraits<std::vector<std::shared_ptr<Model>>> {
  static std::string typeCode() { return "@\"NSArray\""; }
  static KVObject read(const std::vector<std::shared_ptr<Model>>& member) {
    KVObjectArray array;
    for (const std::shared_ptr<Model>& element : member) {
      array.push_back(element ? KVMemberTraits<std::shared_ptr<Model>>::read(element)
                              : KVObject(ns::Value()));
    }
    return KVObject(std::move(array));
  }
  static ns::Status write(std::vector<std::shared_ptr<Model>>& member, const KVObject& value) {
    std::vector<std::shared_ptr<Model>> models;
    if (const KVObjectArray* array = value.objectArray()) {
      for (const KVObject& element : *array) {
        std::shared_ptr<Model> model = KVMemberTraits<std::shared_ptr<Model>>::modelFrom(element);
        if (model == nullptr) {
          return kvAssignmentError(element, "an element of an array of " + kvClassOf<Model>().name());
        }
        models.push_back(std::move(model));
      }
    } else if (value.value() == nullptr || !value.value()->isArray() || value.value()->count() != 0) {
      return kvAssignmentError(value, "an array of " + kvClassOf<Model>().name());
    }
    member = std::move(models);
    return {};
  }
  static KVClass* elementClass() { return &kvClassOf<Model>(); }
};

template <>
struct KVMemberTraits<std::vector<ns::URL>> {
  static std::string typeCode() { return "@\"NSArray\""; }
  static KVObject read(const std::vector<ns::URL>& member);
  static ns::Status write(std::vector<ns::URL>& member, const KVObject& value);
  static KVClass* elementClass() { return &KVClass::platformClass("NSURL"); }
};

}  // namespace http_client
