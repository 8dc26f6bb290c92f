#include "platform/net/DescriptionFormat.h"

#include <cstdio>

namespace ns {

std::string descriptionPrefix(std::string_view className, const void* object) {
  char address[32];
  std::snprintf(address, sizeof address, "%p", object);
  std::string prefix = "<";
  prefix.append(className).append(": ").append(address).append(">");
  return prefix;
}

}  // namespace ns
