#pragma once

// How the fuzz targets report a broken property: the property is printed before the abort, so that the
// crash file libFuzzer keeps comes with the reason it was kept.

#include <cstdio>
#include <cstdlib>

// Aborts with `property` on standard error unless `holds`.
inline void requireProperty(bool holds, const char* property) {
  if (!holds) {
    std::fprintf(stderr, "broken property: %s\n", property);
    std::abort();
  }
}
