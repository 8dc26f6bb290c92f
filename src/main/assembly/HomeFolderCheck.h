#pragma once

// checkHomeFolder(): whether a folder can be the application's home (ns::Sandbox), asked once before the
// application launches, so that a home where something cannot be saved stops the start with a clear message
// instead of an application that runs and quietly keeps nothing.
//
// Thread-safety: a function of the file system only; may be called from any thread.

#include <string>
#include <vector>

#include "main/assembly/AssemblyError.h"
#include "platform/foundation/values/Result.h"

namespace assembly {

// Makes `home`, with the folders above it, when nothing stands there yet, readable by its owner only (0700).
// What cannot be made is left for checkHomeFolder() to name.
void makeNewHomePrivate(const std::string& home);

// Creates `home` and each of `folders` (folders inside it that the application writes into) with the
// folders above them when missing, and writes and removes a file in each. Returns success, or an error
// (kAssemblyErrorDomain, kUnusableHome) that names the home and says which folder cannot be used and why: a
// file stands there, it cannot be made, nothing can be written in it, or its file system takes no files.
ns::Status checkHomeFolder(const std::string& home, const std::vector<std::string>& folders);

}  // namespace assembly
