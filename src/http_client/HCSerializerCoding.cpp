#include "http_client/HCSerializerCoding.h"

#include "http_client/HCImageResponseSerializer.h"
#include "http_client/HCJSONResponseSerializer.h"

namespace http_client {

namespace {

constexpr char kClassKey[] = "$class";
constexpr char kJSONResponseSerializerClass[] = "HCJSONResponseSerializer";
constexpr char kImageResponseSerializerClass[] = "HCImageResponseSerializer";
constexpr char kHTTPResponseSerializerClass[] = "HCHTTPResponseSerializer";

const ns::Dictionary& archivedDictionary(const ns::Value& value) {
  static const ns::Dictionary empty;
  return value.isDictionary() ? value.asDictionary() : empty;
}

}  // namespace

ns::Dictionary HCEncodeRequestSerializer(const HCHTTPRequestSerializer& serializer) {
  ns::Dictionary coder;
  serializer.encodeWithCoder(coder);
  return coder;
}

std::shared_ptr<HCHTTPRequestSerializer> HCDecodeRequestSerializer(const ns::Value& value) {
  return std::make_shared<HCHTTPRequestSerializer>(archivedDictionary(value));
}

ns::Dictionary HCEncodeResponseSerializer(const HCHTTPResponseSerializer& serializer) {
  ns::Dictionary coder;
  serializer.encodeWithCoder(coder);
  if (dynamic_cast<const HCJSONResponseSerializer*>(&serializer) != nullptr) {
    coder[kClassKey] = kJSONResponseSerializerClass;
  } else if (dynamic_cast<const HCImageResponseSerializer*>(&serializer) != nullptr) {
    coder[kClassKey] = kImageResponseSerializerClass;
  } else {
    coder[kClassKey] = kHTTPResponseSerializerClass;
  }
  return coder;
}

std::shared_ptr<HCHTTPResponseSerializer> HCDecodeResponseSerializer(const ns::Value& value) {
  const ns::Dictionary& coder = archivedDictionary(value);
  const ns::Value* className = value.find(kClassKey);
  if (className != nullptr && className->isString() &&
      className->asString() == kJSONResponseSerializerClass) {
    return std::make_shared<HCJSONResponseSerializer>(coder);
  }
  if (className != nullptr && className->isString() &&
      className->asString() == kImageResponseSerializerClass) {
    return std::make_shared<HCImageResponseSerializer>(coder);
  }
  return std::make_shared<HCHTTPResponseSerializer>(coder);
}

}  // namespace http_client
