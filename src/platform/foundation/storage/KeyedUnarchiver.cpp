#include "platform/foundation/storage/KeyedUnarchiver.h"

#include "platform/foundation/formats/PropertyListSerialization.h"
#include "platform/foundation/storage/KeyedArchiver.h"

namespace ns {

Dictionary KeyedUnarchiver::unarchiveObjectWithData(const Data& data) {
  const Result<Value> archive = PropertyListSerialization::propertyListWithData(data);
  if (!archive.ok()) {
    return {};
  }
  const Value* archiver = archive->find(KeyedArchiver::kArchiverKey);
  const Value* root = archive->find(KeyedArchiver::kRootKey);
  if (archiver == nullptr || *archiver != Value(KeyedArchiver::kArchiverName) || root == nullptr ||
      !root->isDictionary()) {
    return {};
  }
  return root->asDictionary();
}

}  // namespace ns
