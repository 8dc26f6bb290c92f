#include "http_client/HCQueryStringSerialization.h"

#include <algorithm>
#include <string_view>

#include "platform/foundation/text/Utf16.h"

namespace http_client {

namespace {

void appendPairs(const std::optional<std::string>& key, const ns::Value& value,
                 std::vector<HCQueryStringPair>& pairs) {
  if (value.isDictionary()) {
    std::vector<const ns::Dictionary::value_type*> entries;
    for (const auto& entry : value.asDictionary()) {
      entries.push_back(&entry);
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto* a, const auto* b) { return ns::utf16Compare(a->first, b->first) < 0; });
    for (const auto* entry : entries) {
      appendPairs(key ? *key + "[" + entry->first + "]" : entry->first, entry->second, pairs);
    }
  } else if (value.isArray()) {
    const std::string elementKey = key.value_or("") + "[]";
    for (const ns::Value& element : value.asArray()) {
      appendPairs(elementKey, element, pairs);
    }
  } else if (value.isSet()) {
    // A set has no order of its own: its elements go in the order of their descriptions, so that the same
    // set always gives the same text.
    std::vector<std::pair<std::string, const ns::Value*>> elements;
    for (const ns::Value& element : value.asSet().elements()) {
      elements.emplace_back(ns::describe(element), &element);
    }
    std::stable_sort(elements.begin(), elements.end(),
                     [](const auto& a, const auto& b) { return ns::utf16Compare(a.first, b.first) < 0; });
    for (const auto& [description, element] : elements) {
      appendPairs(key, *element, pairs);
    }
  } else {
    pairs.emplace_back(key.value_or(""), value);
  }
}

}  // namespace

std::vector<HCQueryStringPair> HCQueryStringPairsFromKeyAndValue(const std::optional<std::string>& key,
                                                                 const ns::Value& value) {
  std::vector<HCQueryStringPair> pairs;
  appendPairs(key, value, pairs);
  return pairs;
}

std::string HCQueryStringFromParameters(const ns::Dictionary& parameters,
                                        const ns::StringEncoding& encoding) {
  std::string query;
  std::string_view separator;
  for (const HCQueryStringPair& pair :
       HCQueryStringPairsFromKeyAndValue(std::nullopt, ns::Value(parameters))) {
    query += separator;
    query += pair.URLEncodedStringValueWithEncoding(encoding);
    separator = "&";
  }
  return query;
}

}  // namespace http_client
