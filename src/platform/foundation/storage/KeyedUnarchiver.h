#pragma once

// ns::KeyedUnarchiver: reads back the dictionaries that KeyedArchiver archives.
//
// Thread-safety: static functions without shared state.

#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Value.h"

namespace ns {

class KeyedUnarchiver {
 public:
  // Returns the root dictionary archived in `data`. Bytes that are not such an archive (damaged, of another
  // format, or with a root that is not a dictionary) read as an empty dictionary: a reader treats an
  // unreadable archive as one that holds nothing.
  static Dictionary unarchiveObjectWithData(const Data& data);
};

}  // namespace ns
