#include "http_client/HCObjectAddress.h"

#include <cstdio>

std::string HCObjectAddress(const void* object) {
  char text[32];
  std::snprintf(text, sizeof text, "%p", object);
  return text;
}
