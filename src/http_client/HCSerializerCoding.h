#pragma once

// The archived forms of serializers inside the archives of operations and managers. A serializer records its
// class under "$class", so that a JSON, property-list, XML or compound serializer comes back as one.
// Thread-safe: pure functions.

#include <memory>

#include "http_client/HCHTTPRequestSerializer.h"
#include "http_client/HCHTTPResponseSerializer.h"

namespace http_client {

ns::Dictionary HCEncodeRequestSerializer(const HCHTTPRequestSerializer& serializer);
// Returns the serializer that `value` archives, of the class it records; a value that is no archive gives a
// plain HCHTTPRequestSerializer with defaults.
std::shared_ptr<HCHTTPRequestSerializer> HCDecodeRequestSerializer(const ns::Value& value);

ns::Dictionary HCEncodeResponseSerializer(const HCHTTPResponseSerializer& serializer);
// Returns the serializer that `value` archives, of the class it records; a value that is no archive gives a
// plain HCHTTPResponseSerializer with defaults. REQUIRES: main thread when it archives an image serializer,
// whose defaults read the main screen.
std::shared_ptr<HCHTTPResponseSerializer> HCDecodeResponseSerializer(const ns::Value& value);

}  // namespace http_client
