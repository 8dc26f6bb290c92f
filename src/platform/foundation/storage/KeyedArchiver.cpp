#include "platform/foundation/storage/KeyedArchiver.h"

#include <string>

#include "platform/foundation/formats/PropertyListSerialization.h"

namespace ns {

Result<Data> KeyedArchiver::archivedDataWithRootObject(const Dictionary& root) {
  const Dictionary archive{{std::string(kArchiverKey), Value(kArchiverName)},
                           {std::string(kRootKey), Value(root)}};
  return PropertyListSerialization::dataWithPropertyList(Value(archive), PropertyListFormat::kBinary);
}

}  // namespace ns
