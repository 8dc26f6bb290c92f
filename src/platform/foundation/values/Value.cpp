#include "platform/foundation/values/Value.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/foundation/values/TextNumbers.h"

namespace ns {
namespace {

constexpr const char* kKindNames[] = {"null", "bool", "integer", "double",     "string",
                                      "data", "date", "array",   "dictionary", "set"};

[[noreturn]] void abortOnWrongKind(const char* accessor, ValueKind actual) {
  std::fprintf(stderr, "ns::Value::%s called on a value of kind %s\n", accessor,
               kKindNames[static_cast<int>(actual)]);
  std::abort();
}

// Gives this Value its own copy of shared contents before a write. A count of one means no other Value can
// reach the contents; the fence orders this write after the other owner's last use, which its release of
// the reference published.
template <typename Contents>
void detachIfShared(std::shared_ptr<Contents>& contents) {
  if (contents.use_count() > 1) {
    contents = std::make_shared<Contents>(*contents);
  } else {
    std::atomic_thread_fence(std::memory_order_acquire);
  }
}

// Truncates toward zero like a C cast, but clamps values outside the range of Integer (and NaN to 0) where
// the cast would be undefined.
template <typename Integer>
Integer clampedTruncation(double number) {
  constexpr double kUpperBound = static_cast<double>(std::numeric_limits<Integer>::max()) + 1.0;
  constexpr double kLowerBound = static_cast<double>(std::numeric_limits<Integer>::min());
  if (std::isnan(number)) {
    return 0;
  }
  if (number >= kUpperBound) {
    return std::numeric_limits<Integer>::max();
  }
  if (number <= kLowerBound) {
    return std::numeric_limits<Integer>::min();
  }
  return static_cast<Integer>(number);
}

// An integer and a double are equal only when the double holds exactly that integer.
bool integerEqualsDouble(std::int64_t integer, double number) {
  return number == std::trunc(number) && number >= -0x1p63 && number < 0x1p63 &&
         static_cast<std::int64_t>(number) == integer;
}

}  // namespace

template <typename T>
const T& Value::expect(const char* accessor) const {
  if (const T* contents = std::get_if<T>(&storage_)) {
    return *contents;
  }
  abortOnWrongKind(accessor, kind());
}

template <typename T>
T& Value::expect(const char* accessor) {
  if (T* contents = std::get_if<T>(&storage_)) {
    return *contents;
  }
  abortOnWrongKind(accessor, kind());
}

Value::Value(Array array) : storage_(std::make_shared<Array>(std::move(array))) {}
Value::Value(Dictionary dictionary) : storage_(std::make_shared<Dictionary>(std::move(dictionary))) {}
Value::Value(Set set) : storage_(std::make_shared<Set>(std::move(set))) {}

bool Value::asBool() const {
  return expect<bool>("asBool");
}
std::int64_t Value::asInteger() const {
  return expect<std::int64_t>("asInteger");
}
double Value::asDouble() const {
  return expect<double>("asDouble");
}
const std::string& Value::asString() const {
  return expect<std::string>("asString");
}
const Data& Value::asData() const {
  return expect<Data>("asData");
}
Date Value::asDate() const {
  return expect<Date>("asDate");
}
const Array& Value::asArray() const {
  return *expect<std::shared_ptr<Array>>("asArray");
}
const Dictionary& Value::asDictionary() const {
  return *expect<std::shared_ptr<Dictionary>>("asDictionary");
}
const Set& Value::asSet() const {
  return *expect<std::shared_ptr<Set>>("asSet");
}

Array& Value::mutableArray() {
  auto& contents = expect<std::shared_ptr<Array>>("mutableArray");
  detachIfShared(contents);
  return *contents;
}

Dictionary& Value::mutableDictionary() {
  auto& contents = expect<std::shared_ptr<Dictionary>>("mutableDictionary");
  detachIfShared(contents);
  return *contents;
}

int Value::intValue() const {
  const std::int64_t integer = integerValue();
  if (integer > std::numeric_limits<int>::max()) {
    return std::numeric_limits<int>::max();
  }
  if (integer < std::numeric_limits<int>::min()) {
    return std::numeric_limits<int>::min();
  }
  return static_cast<int>(integer);
}

std::int64_t Value::integerValue() const {
  switch (kind()) {
    case ValueKind::kBool:
      return asBool() ? 1 : 0;
    case ValueKind::kInteger:
      return asInteger();
    case ValueKind::kDouble:
      return clampedTruncation<std::int64_t>(asDouble());
    case ValueKind::kString:
      return integerValueOfText(asString());
    default:
      return 0;
  }
}

double Value::doubleValue() const {
  switch (kind()) {
    case ValueKind::kBool:
      return asBool() ? 1.0 : 0.0;
    case ValueKind::kInteger:
      return static_cast<double>(asInteger());
    case ValueKind::kDouble:
      return asDouble();
    case ValueKind::kString:
      return doubleValueOfText(asString());
    default:
      return 0.0;
  }
}

float Value::floatValue() const {
  const double number = doubleValue();
  // A double beyond the float range has no float to round to; infinity is what IEEE arithmetic gives.
  if (std::abs(number) > std::numeric_limits<float>::max()) {
    return number > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
  }
  return static_cast<float>(number);
}

bool Value::boolValue() const {
  switch (kind()) {
    case ValueKind::kBool:
      return asBool();
    case ValueKind::kInteger:
      return asInteger() != 0;
    case ValueKind::kDouble:
      return asDouble() != 0.0;
    case ValueKind::kString:
      return boolValueOfText(asString());
    default:
      return false;
  }
}

std::string Value::stringValue() const {
  return isString() ? asString() : describe(*this);
}

const Value* Value::find(std::string_view key) const {
  if (!isDictionary()) {
    return nullptr;
  }
  const Dictionary& dictionary = asDictionary();
  const auto entry = dictionary.find(key);
  return entry == dictionary.end() ? nullptr : &entry->second;
}

const Value* Value::element(std::size_t index) const {
  if (!isArray() || index >= asArray().size()) {
    return nullptr;
  }
  return &asArray()[index];
}

std::size_t Value::count() const {
  if (isArray()) {
    return asArray().size();
  }
  if (isDictionary()) {
    return asDictionary().size();
  }
  return 0;
}

bool operator==(const Value& a, const Value& b) {
  if (a.isNumber() && b.isNumber()) {
    if (a.isDouble() && b.isDouble()) {
      return a.asDouble() == b.asDouble();
    }
    if (a.isDouble()) {
      return integerEqualsDouble(b.integerValue(), a.asDouble());
    }
    if (b.isDouble()) {
      return integerEqualsDouble(a.integerValue(), b.asDouble());
    }
    return a.integerValue() == b.integerValue();
  }
  if (a.kind() != b.kind()) {
    return false;
  }
  switch (a.kind()) {
    case ValueKind::kArray: {
      const auto& left = std::get<std::shared_ptr<Array>>(a.storage_);
      const auto& right = std::get<std::shared_ptr<Array>>(b.storage_);
      return left == right || *left == *right;
    }
    case ValueKind::kDictionary: {
      const auto& left = std::get<std::shared_ptr<Dictionary>>(a.storage_);
      const auto& right = std::get<std::shared_ptr<Dictionary>>(b.storage_);
      return left == right || *left == *right;
    }
    case ValueKind::kSet: {
      const auto& left = std::get<std::shared_ptr<Set>>(a.storage_);
      const auto& right = std::get<std::shared_ptr<Set>>(b.storage_);
      return left == right || *left == *right;
    }
    default:
      return a.storage_ == b.storage_;
  }
}

Set::Set(std::initializer_list<Value> values) {
  for (const Value& value : values) {
    insert(value);
  }
}

bool Set::insert(Value value) {
  if (contains(value)) {
    return false;
  }
  elements_.push_back(std::move(value));
  return true;
}

bool Set::contains(const Value& value) const {
  return std::find(elements_.begin(), elements_.end(), value) != elements_.end();
}

bool operator==(const Set& a, const Set& b) {
  // Each holds distinct values, so equal sizes and every value of one found in the other make them equal.
  return a.elements_.size() == b.elements_.size() &&
         std::all_of(a.elements_.begin(), a.elements_.end(),
                     [&](const Value& value) { return b.contains(value); });
}

}  // namespace ns
