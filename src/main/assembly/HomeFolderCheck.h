#pragma once

// checkHomeFolder(): whether a folder can be the application's home (ns::Sandbox), asked once before the
// application launches, so that a home where nothing can be saved stops the start with a clear message
// instead of an application that runs and keeps nothing.
//
// Thread-safety: a function of the file system only; may be called from any thread.

#include <string>

#include "main/assembly/AssemblyError.h"
#include "platform/foundation/values/Result.h"

namespace assembly {

// Creates `home` (and the folders above it) when it is missing, and writes and removes a file in it.
// Returns success, or an error (kAssemblyErrorDomain, kUnusableHome) whose description names the folder and
// says why it cannot be used: a file stands there, a folder above it cannot be made, nothing can be written.
ns::Status checkHomeFolder(const std::string& home);

}  // namespace assembly
