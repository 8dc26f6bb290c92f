#pragma once

// The address of an object as description texts show it ("0x7f..."). Thread-safe: a pure function.

#include <string>

std::string HCObjectAddress(const void* object);
