#pragma once

// The platform's property-list formats, by their numbers, as the property-list serializers keep them.
// Thread-safe: values only.

namespace http_client {

enum class HCPropertyListFormat : unsigned {
  kOpenStep = 1,  // read only: the platform writes no OpenStep text
  kXML = 100,     // XML version 1.0
  kBinary = 200,  // binary version 1.0
};

}  // namespace http_client
