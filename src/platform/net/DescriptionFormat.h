#pragma once

// The opening of an object's description text, shared by the loading types. Thread-safe.

#include <string>
#include <string_view>

namespace ns {

// Returns "<`className`: 0x...>" with the address of `object`.
std::string descriptionPrefix(std::string_view className, const void* object);

}  // namespace ns
