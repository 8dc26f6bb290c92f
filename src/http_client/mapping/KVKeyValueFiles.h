#pragma once

// Models made from property-list files: a file holding a dictionary gives one model, a file holding an array
// gives models as kv_objectArrayWithKeyValuesArray does. A file is named by its path or by the name of a
// resource of the main bundle. Errors are recorded on the class as in KVKeyValue.h: "filename参数为nil"
// when no name is given, "file参数为nil" when no path is given or the bundle has no such resource, and the
// errors of the mapping when the file does not hold what it should (a missing or unreadable file reads as
// holding nothing).
//
// Thread-safety: one thread at a time with the rest of the mapping.

#include <optional>
#include <string_view>

#include "http_client/mapping/KVObject.h"

namespace http_client {

class KVClass;

inline constexpr char kKVNoFilenameError[] = "filename参数为nil";
inline constexpr char kKVNoFileError[] = "file参数为nil";

// Return the model, or std::nullopt with the class's error set.
// REQUIRES: `cls` is a model class.
std::optional<KVModelRef> kv_objectWithFile(KVClass& cls, std::optional<std::string_view> path);
std::optional<KVModelRef> kv_objectWithFilename(KVClass& cls, std::optional<std::string_view> filename);
// Return the array of models, or none with the class's error set.
KVObject kv_objectArrayWithFile(KVClass& cls, std::optional<std::string_view> path);
KVObject kv_objectArrayWithFilename(KVClass& cls, std::optional<std::string_view> filename);

}  // namespace http_client
