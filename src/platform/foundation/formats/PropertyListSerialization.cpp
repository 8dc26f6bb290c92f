#include "platform/foundation/formats/PropertyListSerialization.h"

#include <plist/plist.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>

#include "platform/foundation/formats/BinaryPropertyListChecks.h"
#include "platform/foundation/formats/FormatErrors.h"
#include "platform/foundation/formats/KeyPath.h"
#include "platform/foundation/values/Utf8.h"

namespace ns {
namespace {

// Property-list dates count seconds from 2001-01-01 00:00:00 GMT; Date counts from 1970.
constexpr double kSecondsFrom1970To2001 = 978307200.0;
constexpr std::size_t kMaximumDepth = 512;
constexpr std::string_view kUidKey = "CF$UID";

struct NodeDeleter {
  void operator()(void* node) const { plist_free(node); }
};
using Node = std::unique_ptr<void, NodeDeleter>;

// ---- Reading

std::optional<Value> valueFromNode(plist_t node, std::size_t depth);

std::optional<Value> arrayFromNode(plist_t node, std::size_t depth) {
  Array array;
  const std::uint32_t size = plist_array_get_size(node);
  array.reserve(size);
  for (std::uint32_t i = 0; i < size; ++i) {
    std::optional<Value> member = valueFromNode(plist_array_get_item(node, i), depth + 1);
    if (!member) {
      return std::nullopt;
    }
    array.push_back(std::move(*member));
  }
  return Value(std::move(array));
}

std::optional<Value> dictionaryFromNode(plist_t node, std::size_t depth) {
  Dictionary dictionary;
  plist_dict_iter iterator = nullptr;
  plist_dict_new_iter(node, &iterator);
  const std::unique_ptr<void, decltype(&std::free)> iteratorOwner(iterator, &std::free);
  while (true) {
    char* key = nullptr;
    plist_t item = nullptr;
    plist_dict_next_item(node, iterator, &key, &item);
    const std::unique_ptr<char, decltype(&std::free)> keyOwner(key, &std::free);
    if (item == nullptr) {
      return Value(std::move(dictionary));
    }
    std::optional<Value> member = valueFromNode(item, depth + 1);
    if (!member) {
      return std::nullopt;
    }
    dictionary.insert_or_assign(std::string(key), std::move(*member));
  }
}

std::optional<Value> valueFromNode(plist_t node, std::size_t depth) {
  if (depth > kMaximumDepth) {
    return std::nullopt;
  }
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      std::uint8_t flag = 0;
      plist_get_bool_val(node, &flag);
      return Value(flag != 0);
    }
    case PLIST_UINT: {
      // libplist keeps every integer in 64 unsigned bits; a negative one is its two's complement.
      std::uint64_t bits = 0;
      plist_get_uint_val(node, &bits);
      return Value(static_cast<std::int64_t>(bits));
    }
    case PLIST_REAL: {
      double number = 0;
      plist_get_real_val(node, &number);
      return Value(number);
    }
    case PLIST_STRING: {
      std::uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      return Value(std::string(text, length));
    }
    case PLIST_DATA: {
      std::uint64_t length = 0;
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(plist_get_data_ptr(node, &length));
      return Value(Data(bytes, bytes + length));
    }
    case PLIST_DATE: {
      std::int32_t seconds = 0;
      std::int32_t microseconds = 0;
      plist_get_date_val(node, &seconds, &microseconds);
      // libplist hands out a date as its seconds truncated toward zero and the fraction's magnitude, so
      // the fraction of a date before 2001 counts backwards. (Within the first second before 2001 the sign
      // is lost altogether; such a date reads as the same fraction after.)
      const double fraction = microseconds / 1e6;
      return Value(Date(kSecondsFrom1970To2001 + seconds + (seconds < 0 ? -fraction : fraction)));
    }
    case PLIST_UID: {
      std::uint64_t reference = 0;
      plist_get_uid_val(node, &reference);
      return Value(Dictionary{{std::string(kUidKey), Value(static_cast<std::int64_t>(reference))}});
    }
    case PLIST_ARRAY:
      return arrayFromNode(node, depth);
    case PLIST_DICT:
      return dictionaryFromNode(node, depth);
    default:
      return std::nullopt;
  }
}

// ---- Writing

struct WriteFailure {
  std::string what;
  std::string path;
};

Node nodeFromValue(const Value& value, WriteFailure& failure);

Node fail(WriteFailure& failure, std::string what) {
  failure.what = std::move(what);
  failure.path.clear();
  return nullptr;
}

// Returns what keeps libplist from storing `text` as it is, or nullptr when nothing does. libplist keeps
// strings NUL-terminated, so a NUL inside would silently cut the text short, and its binary writer cuts a
// string short at the first byte that is not well-formed UTF-8.
const char* unstorableTextReason(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) {
    return "holds a NUL character";
  }
  if (!isWellFormedUtf8(text)) {
    return "is not well-formed UTF-8";
  }
  return nullptr;
}

Node nodeFromString(const std::string& text, WriteFailure& failure) {
  if (const char* reason = unstorableTextReason(text)) {
    return fail(failure, std::string("a string ") + reason);
  }
  return Node(plist_new_string(text.c_str()));
}

Node nodeFromDate(Date date, WriteFailure& failure) {
  const double sinceReference = date.timeIntervalSince1970() - kSecondsFrom1970To2001;
  double seconds = std::floor(sinceReference);
  double microseconds = std::round((sinceReference - seconds) * 1e6);
  if (microseconds >= 1e6) {
    seconds += 1;
    microseconds = 0;
  }
  if (!(seconds >= std::numeric_limits<std::int32_t>::min() &&
        seconds <= std::numeric_limits<std::int32_t>::max())) {
    return fail(failure, "a date lies outside the range a property list holds (1932 to 2069)");
  }
  return Node(plist_new_date(static_cast<std::int32_t>(seconds), static_cast<std::int32_t>(microseconds)));
}

Node nodeFromArray(const Array& array, WriteFailure& failure) {
  Node node(plist_new_array());
  for (std::size_t i = 0; i < array.size(); ++i) {
    Node member = nodeFromValue(array[i], failure);
    if (!member) {
      prependIndex(failure.path, i);
      return nullptr;
    }
    plist_array_append_item(node.get(), member.release());
  }
  return node;
}

// The dictionary form that XML gives a keyed archive's object reference.
bool isUidReference(const Dictionary& dictionary) {
  if (dictionary.size() != 1) {
    return false;
  }
  const auto& [key, member] = *dictionary.begin();
  return key == kUidKey && member.isInteger() && member.asInteger() >= 0;
}

Node nodeFromDictionary(const Dictionary& dictionary, WriteFailure& failure) {
  if (isUidReference(dictionary)) {
    return Node(plist_new_uid(static_cast<std::uint64_t>(dictionary.begin()->second.asInteger())));
  }
  Node node(plist_new_dict());
  for (const auto& [key, member] : dictionary) {
    const char* keyReason = unstorableTextReason(key);
    Node memberNode = keyReason != nullptr ? fail(failure, std::string("a key ") + keyReason)
                                           : nodeFromValue(member, failure);
    if (!memberNode) {
      prependKey(failure.path, key);
      return nullptr;
    }
    plist_dict_set_item(node.get(), key.c_str(), memberNode.release());
  }
  return node;
}

Node nodeFromValue(const Value& value, WriteFailure& failure) {
  switch (value.kind()) {
    case ValueKind::kNull:
      return fail(failure, "null has no property-list form");
    case ValueKind::kBool:
      return Node(plist_new_bool(value.asBool() ? 1 : 0));
    case ValueKind::kInteger:
      return Node(plist_new_uint(static_cast<std::uint64_t>(value.asInteger())));
    case ValueKind::kDouble:
      return Node(plist_new_real(value.asDouble()));
    case ValueKind::kString:
      return nodeFromString(value.asString(), failure);
    case ValueKind::kData: {
      const Data& data = value.asData();
      return Node(plist_new_data(reinterpret_cast<const char*>(data.data()), data.size()));
    }
    case ValueKind::kDate:
      return nodeFromDate(value.asDate(), failure);
    case ValueKind::kArray:
      return nodeFromArray(value.asArray(), failure);
    case ValueKind::kDictionary:
      return nodeFromDictionary(value.asDictionary(), failure);
    case ValueKind::kSet:
      return fail(failure, "a set has no property-list form");
  }
  return fail(failure, "unknown value kind");
}

// Copies a document that libplist allocated and frees it with the matching function.
Data takeDocument(char* bytes, std::uint32_t length, void (*release)(char*)) {
  Data document(reinterpret_cast<const std::uint8_t*>(bytes),
                reinterpret_cast<const std::uint8_t*>(bytes) + length);
  release(bytes);
  return document;
}

}  // namespace

Result<Value> PropertyListSerialization::propertyListWithData(const Data& data) {
  constexpr char kUnreadable[] = "The data couldn’t be read because it isn’t a well-formed property list.";
  if (data.empty() || data.size() > std::numeric_limits<std::uint32_t>::max()) {
    return readCorruptError(kUnreadable);
  }
  const auto* bytes = reinterpret_cast<const char*>(data.data());
  const auto length = static_cast<std::uint32_t>(data.size());
  // Documents nested deeper than kMaximumDepth are refused below in any case; a binary one is refused
  // before libplist's recursion can overflow the stack on it.
  if (plist_is_binary(bytes, length) != 0 && (binaryPropertyListHoldsNulInAString(data) ||
                                              binaryPropertyListNestsDeeperThan(data, kMaximumDepth + 1))) {
    return readCorruptError(kUnreadable);
  }
  plist_t root = nullptr;
  plist_from_memory(bytes, length, &root);
  const Node rootOwner(root);
  if (root == nullptr) {
    return readCorruptError(kUnreadable);
  }
  std::optional<Value> value = valueFromNode(root, 0);
  if (!value) {
    return readCorruptError(kUnreadable);
  }
  return std::move(*value);
}

Result<Data> PropertyListSerialization::dataWithPropertyList(const Value& value, PropertyListFormat format) {
  WriteFailure failure;
  const Node root = nodeFromValue(value, failure);
  if (!root) {
    return writeInvalidError(
        "The data couldn’t be written as a property list: " + failureText(failure.what, failure.path) + ".");
  }
  char* bytes = nullptr;
  std::uint32_t length = 0;
  if (format == PropertyListFormat::kXml) {
    plist_to_xml(root.get(), &bytes, &length);
    return takeDocument(bytes, length, &plist_to_xml_free);
  }
  plist_to_bin(root.get(), &bytes, &length);
  return takeDocument(bytes, length, &plist_to_bin_free);
}

}  // namespace ns
