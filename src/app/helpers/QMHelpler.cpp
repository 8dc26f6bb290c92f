#include "app/helpers/QMHelpler.h"

#include "platform/foundation/formats/PropertyListSerialization.h"
#include "platform/foundation/storage/Bundle.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/text/CaseMapping.h"
#include "platform/foundation/text/Trimming.h"
#include "platform/foundation/values/TextNumbers.h"

namespace app {

namespace {

constexpr std::size_t kHexDigits = 6;

// Returns the value of two hexadecimal digits; 0 when either is not one.
int hexPair(std::string_view pair) {
  int value = 0;
  for (char c : pair) {
    int digit = 0;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return 0;
    }
    value = value * 16 + digit;
  }
  return value;
}

// Returns the first entry of `list` whose "id" equals `id` as integers, or nullptr.
const ns::Value* entryWithId(const ns::Value* list, std::int64_t id) {
  if (list == nullptr || !list->isArray()) {
    return nullptr;
  }
  for (const ns::Value& entry : list->asArray()) {
    const ns::Value* entryId = entry.find("id");
    if (entryId != nullptr && entryId->integerValue() == id) {
      return &entry;
    }
  }
  return nullptr;
}

std::optional<ns::Value> regionList() {
  std::optional<std::string> path = ns::Bundle::mainBundle()->pathForResource("citys", "plist");
  if (!path) {
    return std::nullopt;
  }
  ns::Result<ns::Data> contents = ns::FileManager::defaultManager().contentsAtPath(*path);
  if (!contents.ok()) {
    return std::nullopt;
  }
  ns::Result<ns::Value> list = ns::PropertyListSerialization::propertyListWithData(*contents);
  if (!list.ok()) {
    return std::nullopt;
  }
  return std::move(list).value();
}

}  // namespace

uikit::Color QMHelpler::colorWithHexString(std::string_view text) {
  std::string digits = ns::uppercased(ns::trimmingWhitespaceAndNewlines(text));
  if (digits.size() < kHexDigits) {
    return uikit::Color::clear();
  }
  std::string_view rest = digits;
  if (rest.starts_with("0X")) {
    rest.remove_prefix(2);
  }
  if (rest.starts_with("#")) {
    rest.remove_prefix(1);
  }
  if (rest.size() != kHexDigits) {
    return uikit::Color::clear();
  }
  return uikit::Color::rgba(hexPair(rest.substr(0, 2)) / 255.0, hexPair(rest.substr(2, 2)) / 255.0,
                            hexPair(rest.substr(4, 2)) / 255.0, 1);
}

std::optional<std::string> QMHelpler::userAddressString(std::string_view text) {
  if (text.empty()) {
    return std::nullopt;
  }
  const std::string_view provinceId = text.substr(0, text.find(','));
  const std::size_t lastComma = text.rfind(',');
  const std::string_view cityId = lastComma == std::string_view::npos ? text : text.substr(lastComma + 1);
  const std::optional<ns::Value> provinces = regionList();
  const ns::Value* province =
      provinces ? entryWithId(&*provinces, ns::integerValueOfText(provinceId)) : nullptr;
  const ns::Value* city =
      province ? entryWithId(province->find("sub"), ns::integerValueOfText(cityId)) : nullptr;
  if (city == nullptr) {
    return std::nullopt;
  }
  return ns::describe(province->find("name")) + " " + ns::describe(city->find("name"));
}

}  // namespace app
