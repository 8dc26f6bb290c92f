#include "http_client/mapping/KVKeyValueFiles.h"

#include "http_client/mapping/KVClass.h"
#include "http_client/mapping/KVKeyValue.h"
#include "platform/foundation/formats/PropertyListSerialization.h"
#include "platform/foundation/storage/Bundle.h"
#include "platform/foundation/storage/FileManager.h"

namespace http_client {

namespace {

// Returns what the property list at `path` holds, or none when it cannot be read.
KVObject propertyListAt(std::string_view path) {
  const ns::Result<ns::Data> bytes = ns::FileManager::defaultManager().contentsAtPath(path);
  if (!bytes.ok()) {
    return {};
  }
  const ns::Result<ns::Value> contents = ns::PropertyListSerialization::propertyListWithData(*bytes);
  return contents.ok() ? KVObject(*contents) : KVObject();
}

// Maps the property list at `path` with `map`, or records the error of a missing path and gives `none`.
template <typename Result, typename Map>
Result fromFile(KVClass& cls, std::optional<std::string_view> path, Result none, Map map) {
  cls.setKv_error(std::nullopt);
  if (!path) {
    kvRecordError(cls, kKVNoFileError);
    return none;
  }
  return map(cls, propertyListAt(*path));
}

// Maps the resource `filename` of the main bundle with `map`, or records the error of a missing name and
// gives `none`.
template <typename Result, typename Map>
Result fromResource(KVClass& cls, std::optional<std::string_view> filename, Result none, Map map) {
  cls.setKv_error(std::nullopt);
  if (!filename) {
    kvRecordError(cls, kKVNoFilenameError);
    return none;
  }
  const std::optional<std::string> path = ns::Bundle::mainBundle()->pathForResource(*filename, "");
  return fromFile(cls, path ? std::optional<std::string_view>(*path) : std::nullopt, std::move(none), map);
}

std::optional<KVModelRef> mapObject(KVClass& cls, const KVObject& contents) {
  return kv_objectWithKeyValues(cls, contents);
}

KVObject mapArray(KVClass& cls, const KVObject& contents) {
  return kv_objectArrayWithKeyValuesArray(cls, contents);
}

}  // namespace

std::optional<KVModelRef> kv_objectWithFile(KVClass& cls, std::optional<std::string_view> path) {
  return fromFile(cls, path, std::optional<KVModelRef>(), mapObject);
}

std::optional<KVModelRef> kv_objectWithFilename(KVClass& cls, std::optional<std::string_view> filename) {
  return fromResource(cls, filename, std::optional<KVModelRef>(), mapObject);
}

KVObject kv_objectArrayWithFile(KVClass& cls, std::optional<std::string_view> path) {
  return fromFile(cls, path, KVObject(), mapArray);
}

KVObject kv_objectArrayWithFilename(KVClass& cls, std::optional<std::string_view> filename) {
  return fromResource(cls, filename, KVObject(), mapArray);
}

}  // namespace http_client
