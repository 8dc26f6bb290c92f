#include "http_client/HCSerializerCoding.h"

#include <functional>
#include <type_traits>

#include "http_client/HCCompoundResponseSerializer.h"
#include "http_client/HCImageResponseSerializer.h"
#include "http_client/HCJSONRequestSerializer.h"
#include "http_client/HCJSONResponseSerializer.h"
#include "http_client/HCPropertyListRequestSerializer.h"
#include "http_client/HCPropertyListResponseSerializer.h"
#include "http_client/HCXMLParserResponseSerializer.h"

namespace http_client {

namespace {

constexpr char kClassKey[] = "$class";

// One archived class of a serializer family: its name, how to tell an instance, and how to decode one.
template <typename Base>
struct ArchivedClass {
  const char* name;
  std::function<bool(const Base&)> isInstance;
  std::function<std::shared_ptr<Base>(const ns::Dictionary&)> decode;
};

template <typename Base, typename Class>
ArchivedClass<Base> archivedClass(const char* name) {
  return {name,
          [](const Base& serializer) {
            if constexpr (std::is_same_v<Base, Class>) {
              return true;
            } else {
              return dynamic_cast<const Class*>(&serializer) != nullptr;
            }
          },
          [](const ns::Dictionary& coder) { return std::make_shared<Class>(coder); }};
}

// Subclasses before their bases, so that an instance is named by its own class; the base class comes last.
const std::vector<ArchivedClass<HCHTTPRequestSerializer>>& requestClasses() {
  static const std::vector<ArchivedClass<HCHTTPRequestSerializer>> classes{
      archivedClass<HCHTTPRequestSerializer, HCJSONRequestSerializer>("HCJSONRequestSerializer"),
      archivedClass<HCHTTPRequestSerializer, HCPropertyListRequestSerializer>(
          "HCPropertyListRequestSerializer"),
      archivedClass<HCHTTPRequestSerializer, HCHTTPRequestSerializer>("HCHTTPRequestSerializer"),
  };
  return classes;
}

const std::vector<ArchivedClass<HCHTTPResponseSerializer>>& responseClasses() {
  static const std::vector<ArchivedClass<HCHTTPResponseSerializer>> classes{
      archivedClass<HCHTTPResponseSerializer, HCJSONResponseSerializer>("HCJSONResponseSerializer"),
      archivedClass<HCHTTPResponseSerializer, HCImageResponseSerializer>("HCImageResponseSerializer"),
      archivedClass<HCHTTPResponseSerializer, HCXMLParserResponseSerializer>("HCXMLParserResponseSerializer"),
      archivedClass<HCHTTPResponseSerializer, HCPropertyListResponseSerializer>(
          "HCPropertyListResponseSerializer"),
      archivedClass<HCHTTPResponseSerializer, HCCompoundResponseSerializer>("HCCompoundResponseSerializer"),
      archivedClass<HCHTTPResponseSerializer, HCHTTPResponseSerializer>("HCHTTPResponseSerializer"),
  };
  return classes;
}

const ns::Dictionary& archivedDictionary(const ns::Value& value) {
  static const ns::Dictionary empty;
  return value.isDictionary() ? value.asDictionary() : empty;
}

template <typename Base>
ns::Dictionary encode(const Base& serializer, const std::vector<ArchivedClass<Base>>& classes) {
  ns::Dictionary coder;
  serializer.encodeWithCoder(coder);
  for (const ArchivedClass<Base>& archived : classes) {
    if (archived.isInstance(serializer)) {
      coder[kClassKey] = archived.name;
      break;
    }
  }
  return coder;
}

// The serializer of the class the archive names; the base class (last) for anything else.
template <typename Base>
std::shared_ptr<Base> decode(const ns::Value& value, const std::vector<ArchivedClass<Base>>& classes) {
  const ns::Dictionary& coder = archivedDictionary(value);
  const ns::Value* className = value.find(kClassKey);
  for (const ArchivedClass<Base>& archived : classes) {
    if (className != nullptr && className->isString() && className->asString() == archived.name) {
      return archived.decode(coder);
    }
  }
  return classes.back().decode(coder);
}

}  // namespace

ns::Dictionary HCEncodeRequestSerializer(const HCHTTPRequestSerializer& serializer) {
  return encode(serializer, requestClasses());
}

std::shared_ptr<HCHTTPRequestSerializer> HCDecodeRequestSerializer(const ns::Value& value) {
  return decode(value, requestClasses());
}

ns::Dictionary HCEncodeResponseSerializer(const HCHTTPResponseSerializer& serializer) {
  return encode(serializer, responseClasses());
}

std::shared_ptr<HCHTTPResponseSerializer> HCDecodeResponseSerializer(const ns::Value& value) {
  return decode(value, responseClasses());
}

}  // namespace http_client
