#include "http_client/HCObjectAddress.h"

#include <cstdio>

namespace http_client {

std::string HCObjectAddress(const void* object) {
  char text[32];
  std::snprintf(text, sizeof text, "%p", object);
  return text;
}

}  // namespace http_client
