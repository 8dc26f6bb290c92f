#pragma once

// ns::Value holds any value whose type is known only at run time: JSON replies, request parameters, property
// list contents and user-defaults entries. It stands in for the platform's object graph of numbers, strings,
// data, dates, arrays, dictionaries and the null object.
//
// Arrays and dictionaries are shared between copies and copied on the first write through a mutable
// accessor, so passing a Value around is cheap. Thread-safe as a value: distinct Value objects may be used on
// different threads, even when they share contents.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Date.h"

namespace ns {

class Value;
class Set;
using Array = std::vector<Value>;
// Keys sort by UTF-8 bytes. Code that needs the UTF-16 order of the platform sorts with text/Utf16.h.
using Dictionary = std::map<std::string, Value, std::less<>>;

enum class ValueKind { kNull, kBool, kInteger, kDouble, kString, kData, kDate, kArray, kDictionary, kSet };

class Value {
 public:
  // The null object (JSON null), distinct from a missing value, which code expresses as a null pointer.
  Value() = default;
  Value(std::nullptr_t) {}
  Value(bool flag) : storage_(flag) {}
  template <typename T>
  requires(std::is_integral_v<T> && !std::is_same_v<T, bool>) Value(T number)
      : storage_(static_cast<std::int64_t>(number)) {}
  Value(double number) : storage_(number) {}
  Value(float number) : storage_(static_cast<double>(number)) {}
  Value(const char* text) : storage_(std::string(text)) {}
  Value(std::string_view text) : storage_(std::string(text)) {}
  Value(std::string text) : storage_(std::move(text)) {}
  Value(Data data) : storage_(std::move(data)) {}
  Value(Date date) : storage_(date) {}
  Value(Array array);
  Value(Dictionary dictionary);
  Value(Set set);

  ValueKind kind() const { return static_cast<ValueKind>(storage_.index()); }
  bool isNull() const { return kind() == ValueKind::kNull; }
  bool isBool() const { return kind() == ValueKind::kBool; }
  bool isInteger() const { return kind() == ValueKind::kInteger; }
  bool isDouble() const { return kind() == ValueKind::kDouble; }
  // True for booleans, integers and doubles: the kinds the platform keeps in one number class.
  bool isNumber() const { return isBool() || isInteger() || isDouble(); }
  bool isString() const { return kind() == ValueKind::kString; }
  bool isData() const { return kind() == ValueKind::kData; }
  bool isDate() const { return kind() == ValueKind::kDate; }
  bool isArray() const { return kind() == ValueKind::kArray; }
  bool isDictionary() const { return kind() == ValueKind::kDictionary; }
  bool isSet() const { return kind() == ValueKind::kSet; }

  // Exact contents.
  // REQUIRES: the value is of the accessor's kind; anything else aborts (a programming error, as sending a
  // message to an object of the wrong class is on the platform).
  bool asBool() const;
  std::int64_t asInteger() const;
  double asDouble() const;
  const std::string& asString() const;
  const Data& asData() const;
  Date asDate() const;
  const Array& asArray() const;
  const Dictionary& asDictionary() const;
  const Set& asSet() const;
  // Returns the contents for writing, first copying them when another Value shares them. The reference stays
  // valid until this Value is next assigned, copied from or destroyed; a copy made while it is held shares
  // the contents, so finish writing before copying.
  Array& mutableArray();
  Dictionary& mutableDictionary();

  // The conversions the platform makes when a number or a string is asked for intValue, doubleValue and so
  // on: numbers convert (doubles truncate toward zero), strings are read as values/TextNumbers.h describes.
  // Numbers outside the result's range clamp to its limits (NaN gives 0) instead of wrapping. Every other
  // kind (null, data, date, array, dictionary) gives 0 or false rather than failing.
  int intValue() const;
  std::int64_t integerValue() const;
  double doubleValue() const;
  float floatValue() const;
  bool boolValue() const;
  // Returns the string itself for a string, else describe(*this).
  std::string stringValue() const;

  // Returns the value under `key`, or nullptr when this is not a dictionary or holds no such key.
  const Value* find(std::string_view key) const;
  // Returns element `index`, or nullptr when this is not an array or the index is out of range.
  const Value* element(std::size_t index) const;
  // Returns the number of elements of an array or entries of a dictionary, else 0.
  std::size_t count() const;

  // Numbers compare by value across bool, integer and double (1 == 1.0 == true), as the platform's numbers
  // do; every other kind compares equal only to the same kind with equal contents.
  friend bool operator==(const Value& a, const Value& b);

 private:
  // Returns the alternative T of the storage, aborting with `accessor` named when the kind differs.
  template <typename T>
  const T& expect(const char* accessor) const;
  template <typename T>
  T& expect(const char* accessor);

  using Storage = std::variant<std::monostate, bool, std::int64_t, double, std::string, Data, Date,
                               std::shared_ptr<Array>, std::shared_ptr<Dictionary>, std::shared_ptr<Set>>;
  Storage storage_;
};

// An unordered collection of distinct values, the platform's set (request parameters may hold one). Values
// are distinct as operator== says; the order of first insertion is kept so that a set reads the same each
// time.
class Set {
 public:
  Set() = default;
  // Each value is inserted in turn; later ones equal to an earlier one are dropped.
  Set(std::initializer_list<Value> values);

  // Adds `value` unless an equal value is held; returns whether it was added.
  bool insert(Value value);
  bool contains(const Value& value) const;
  // The values in the order first inserted.
  const Array& elements() const { return elements_; }

  // Sets are equal when they hold equal values, in any order.
  friend bool operator==(const Set& a, const Set& b);

 private:
  Array elements_;
};

// The "%@" text of a value: integers in decimal, doubles as the shortest text that reads back ("12.5", "3",
// "1e+20"), booleans "1" or "0", null "<null>", strings as they are, data as "{length = N, bytes = 0x...}"
// (longer data shows its first 16 and last 8 bytes), dates as "yyyy-MM-dd HH:mm:ss +0000" in GMT, arrays
// as "(\n    1,\n    2\n)", sets as "{(\n    1,\n    2\n)}" and dictionaries as "{\n    key = value;\n}",
// nested ones indented by four spaces a level. Inside arrays and dictionaries, strings (keys and values) that
// are empty or hold anything but ASCII letters, digits, "_", "." and "$" are quoted, with '"', '\\', tab,
// line feed and carriage return escaped by a backslash and every other character outside printable ASCII
// written as \Uxxxx (UTF-16 code units, lower-case hex).
std::string describe(const Value& value);
// The "%@" text of a possibly missing value: nullptr (nil) gives "(null)".
std::string describe(const Value* value);

}  // namespace ns
