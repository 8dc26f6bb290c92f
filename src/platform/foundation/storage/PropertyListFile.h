#pragma once

// Property-list files whose top level is a dictionary: user defaults, pasteboards and the bundle's Info.plist
// are kept this way. Thread-safe: pure functions (concurrent writers of one path each replace it whole).

#include <string_view>

#include "platform/foundation/values/Result.h"
#include "platform/foundation/values/Value.h"

namespace ns {

// Returns the dictionary stored in the XML or binary property list at `path`. A missing file, unreadable
// bytes or a top level that is not a dictionary read as an empty dictionary, so that a damaged file costs
// its contents and never the program.
Dictionary readPropertyListDictionary(std::string_view path);

// Writes `dictionary` to `path` as a binary property list, atomically (FileManager::createFileAtPath()),
// readable by its owner only: user defaults hold the session, pasteboards what the person copied. Returns the
// writer's or the file's error; on failure the file at `path` is unchanged. REQUIRES: the folder of `path`
// exists.
Status writePropertyListDictionary(const Dictionary& dictionary, std::string_view path);

}  // namespace ns
