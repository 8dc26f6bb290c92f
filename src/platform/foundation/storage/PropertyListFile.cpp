#include "platform/foundation/storage/PropertyListFile.h"

#include "platform/foundation/formats/PropertyListSerialization.h"
#include "platform/foundation/storage/FileManager.h"

namespace ns {

Dictionary readPropertyListDictionary(std::string_view path) {
  Result<Data> contents = FileManager::defaultManager().contentsAtPath(path);
  if (!contents.ok()) {
    return {};
  }
  Result<Value> propertyList = PropertyListSerialization::propertyListWithData(*contents);
  if (!propertyList.ok() || !propertyList->isDictionary()) {
    return {};
  }
  return propertyList->asDictionary();
}

Status writePropertyListDictionary(const Dictionary& dictionary, std::string_view path) {
  Result<Data> contents =
      PropertyListSerialization::dataWithPropertyList(Value(dictionary), PropertyListFormat::kBinary);
  if (!contents.ok()) {
    return contents.error();
  }
  return FileManager::defaultManager().createFileAtPath(path, *contents, WriteDurability::kFlushedToDisk,
                                                        FileAccess::kOwnerOnly);
}

}  // namespace ns
