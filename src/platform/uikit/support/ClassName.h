#pragma once

// The class name of an object as the screen text shows it: the C++ type without its namespaces, so that
// app::QMUserLogController reads "QMUserLogController". Thread-safe: a pure function.

#include <string>
#include <typeinfo>

namespace uikit {

// Returns the unqualified name of `type`, or its mangled name when it cannot be demangled.
std::string classNameOf(const std::type_info& type);

}  // namespace uikit
