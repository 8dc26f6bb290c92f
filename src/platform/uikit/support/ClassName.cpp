#include "platform/uikit/support/ClassName.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>

namespace uikit {

std::string classNameOf(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> demangled(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
  std::string name = status == 0 && demangled ? demangled.get() : type.name();
  const std::size_t lastSeparator = name.rfind("::");
  return lastSeparator == std::string::npos ? name : name.substr(lastSeparator + 2);
}

}  // namespace uikit
