#include "http_client/mapping/KVMemberTraits.h"

#include "http_client/mapping/KVKeyValue.h"

namespace http_client {

namespace {

const char* kindName(const KVObject& value) {
  if (value.url() != nullptr) {
    return "a URL";
  }
  if (value.decimalNumber() != nullptr) {
    return "a decimal number";
  }
  if (value.model() != nullptr) {
    return "a model object";
  }
  if (value.objectArray() != nullptr) {
    return "an array of objects";
  }
  switch (value.value()->kind()) {
    case ns::ValueKind::kNull:
      return "the null object";
    case ns::ValueKind::kBool:
    case ns::ValueKind::kInteger:
    case ns::ValueKind::kDouble:
      return "a number";
    case ns::ValueKind::kString:
      return "a text";
    case ns::ValueKind::kData:
      return "data";
    case ns::ValueKind::kDate:
      return "a date";
    case ns::ValueKind::kArray:
      return "an array";
    case ns::ValueKind::kDictionary:
      return "a dictionary";
    case ns::ValueKind::kSet:
      return "a set";
  }
  return "an object";
}

template <typename Member>
bool holds(const ns::Value& value);
template <>
bool holds<std::string>(const ns::Value& value) {
  return value.isString();
}
template <>
bool holds<ns::Array>(const ns::Value& value) {
  return value.isArray();
}
template <>
bool holds<ns::Dictionary>(const ns::Value& value) {
  return value.isDictionary();
}
template <>
bool holds<ns::Data>(const ns::Value& value) {
  return value.isData();
}
template <>
bool holds<ns::Date>(const ns::Value& value) {
  return value.isDate();
}

template <typename Member>
Member contents(const ns::Value& value);
template <>
std::string contents<std::string>(const ns::Value& value) {
  return value.asString();
}
template <>
ns::Array contents<ns::Array>(const ns::Value& value) {
  return value.asArray();
}
template <>
ns::Dictionary contents<ns::Dictionary>(const ns::Value& value) {
  return value.asDictionary();
}
template <>
ns::Data contents<ns::Data>(const ns::Value& value) {
  return value.asData();
}
template <>
ns::Date contents<ns::Date>(const ns::Value& value) {
  return value.asDate();
}

}  // namespace

ns::Error kvAssignmentError(const KVObject& value, std::string_view kind) {
  return ns::Error(std::string(kindName(value)) + " cannot be assigned to " + std::string(kind),
                   kKVErrorCode);
}

std::optional<ns::Value> kvScalarSource(const KVObject& value) {
  if (const ns::Value* plain = value.value(); plain != nullptr && (plain->isNumber() || plain->isString())) {
    return *plain;
  }
  if (const KVDecimalNumber* number = value.decimalNumber()) {
    return number->numberValue();
  }
  return std::nullopt;
}

std::uint64_t kvUnsigned64Value(const ns::Value& number) {
  if (number.isInteger()) {
    return number.asInteger() < 0 ? 0 : static_cast<std::uint64_t>(number.asInteger());
  }
  const double real = number.doubleValue();
  if (!(real > 0)) {
    return 0;
  }
  // 2^64 is the first double above every unsigned 64-bit integer.
  return real >= 18446744073709551616.0 ? std::numeric_limits<std::uint64_t>::max()
                                        : static_cast<std::uint64_t>(real);
}

ns::Status KVMemberTraits<bool>::write(bool& member, const KVObject& value) {
  const std::optional<ns::Value> source = kvScalarSource(value);
  if (!source) {
    return kvAssignmentError(value, "a boolean");
  }
  member = source->isString() ? source->boolValue() : source->doubleValue() != 0;
  return {};
}

template <typename Member>
ns::Status KVPlainMemberTraits<Member>::write(Member& member, const KVObject& value) {
  const ns::Value* plain = value.value();
  if (plain == nullptr || !holds<Member>(*plain)) {
    return kvAssignmentError(value, KVMemberTraits<Member>::typeCode());
  }
  member = contents<Member>(*plain);
  return {};
}

template struct KVPlainMemberTraits<std::string>;
template struct KVPlainMemberTraits<ns::Array>;
template struct KVPlainMemberTraits<ns::Dictionary>;
template struct KVPlainMemberTraits<ns::Data>;
template struct KVPlainMemberTraits<ns::Date>;

ns::Status KVMemberTraits<ns::Value>::write(ns::Value& member, const KVObject& value) {
  const ns::Value* plain = value.value();
  if (plain == nullptr) {
    return kvAssignmentError(value, "a value");
  }
  member = *plain;
  return {};
}

ns::Status KVMemberTraits<std::optional<ns::URL>>::write(std::optional<ns::URL>& member,
                                                         const KVObject& value) {
  if (value.url() == nullptr) {
    return kvAssignmentError(value, "a URL");
  }
  member = *value.url();
  return {};
}

ns::Status KVMemberTraits<std::optional<KVDecimalNumber>>::write(std::optional<KVDecimalNumber>& member,
                                                                 const KVObject& value) {
  if (value.decimalNumber() == nullptr) {
    return kvAssignmentError(value, "a decimal number");
  }
  member = *value.decimalNumber();
  return {};
}

KVObject KVMemberTraits<std::vector<ns::URL>>::read(const std::vector<ns::URL>& member) {
  return KVObject(KVObjectArray(member.begin(), member.end()));
}

ns::Status KVMemberTraits<std::vector<ns::URL>>::write(std::vector<ns::URL>& member, const KVObject& value) {
  std::vector<ns::URL> urls;
  if (const KVObjectArray* array = value.objectArray()) {
    for (const KVObject& element : *array) {
      if (element.url() == nullptr) {
        return kvAssignmentError(element, "an element of an array of URLs");
      }
      urls.push_back(*element.url());
    }
  } else if (value.value() == nullptr || !value.value()->isArray() || value.value()->count() != 0) {
    return kvAssignmentError(value, "an array of URLs");
  }
  member = std::move(urls);
  return {};
}

}  // namespace http_client
