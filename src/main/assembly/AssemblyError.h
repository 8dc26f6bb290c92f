#pragma once

namespace assembly {

// The errors of putting the application together (ApplicationAssembly.h): what stops a start before
// anything launches. Their localized description is the sentence a person reads.

inline constexpr char kAssemblyErrorDomain[] = "com.quillmark.assembly";

// The codes of kAssemblyErrorDomain.
enum class AssemblyErrorCode : int {
  // Nothing can be saved in the home folder.
  kUnusableHome = 1,
  // The embedded sample back end cannot start.
  kBackendCannotStart = 2,
};

}  // namespace assembly
