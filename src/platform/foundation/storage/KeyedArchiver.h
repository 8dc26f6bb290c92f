#pragma once

// ns::KeyedArchiver: turns a dictionary of property-list values (strings, dates, numbers, data, arrays and
// dictionaries of them) into archive bytes that KeyedUnarchiver reads back. The archive is a binary property
// list: a dictionary whose kArchiverKey entry names the format and whose kRootKey entry holds the root
// dictionary.
//
// Thread-safety: static functions without shared state.

#include <string_view>

#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Result.h"
#include "platform/foundation/values/Value.h"

namespace ns {

class KeyedArchiver {
 public:
  static constexpr std::string_view kArchiverKey = "$archiver";
  static constexpr std::string_view kArchiverName = "QuillmarkKeyedArchive";
  static constexpr std::string_view kRootKey = "root";

  // Returns the archive of `root`. Returns the property-list writer's error (kPropertyListWriteInvalidError)
  // when `root` holds a value no property list can hold, such as a null.
  static Result<Data> archivedDataWithRootObject(const Dictionary& root);
};

}  // namespace ns
