#pragma once

// The address of an object as description texts show it ("0x7f..."). Thread-safe: a pure function.

#include <string>

namespace http_client {

std::string HCObjectAddress(const void* object);

}  // namespace http_client
