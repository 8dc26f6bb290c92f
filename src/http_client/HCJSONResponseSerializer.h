#pragma once

// HCJSONResponseSerializer: checks a response as HCHTTPResponseSerializer does and parses its body as JSON.
// It accepts the content types "application/json", "text/json", "text/javascript", "text/html" and
// "text/plain" and the status codes 200 to 299. The body is read in the character set the response names
// (else the serializer's stringEncoding()).
//
// A refused status code with a JSON body gives both the object and the error. A reply without an error of
// its own never comes back as nothing at all: an empty or blank body, or one that is not text in its
// character set, is an error.
//
// Thread-safety: as HCHTTPResponseSerializer.

#include <memory>

#include "http_client/HCHTTPResponseSerializer.h"

namespace http_client {

class HCJSONResponseSerializer : public HCHTTPResponseSerializer {
 public:
  // Returns a new serializer with the defaults of the constructor.
  static std::shared_ptr<HCJSONResponseSerializer> serializer();

  // The base defaults, the five JSON content types, and null values kept.
  HCJSONResponseSerializer();
  // As the base class, then "removesKeysWithNullValues".
  explicit HCJSONResponseSerializer(const ns::Dictionary& coder);

  // Writes the base class's keys and "removesKeysWithNullValues" (a boolean).
  void encodeWithCoder(ns::Dictionary& coder) const override;
  // Returns a serializer with the constructor's defaults and this one's null-removal switch; acceptable
  // sets changed here are not carried over.
  std::shared_ptr<HCHTTPResponseSerializer> copy() const override;

  // When set, dictionary entries whose value is null are left out of the parsed object, at every depth
  // (nulls inside arrays stay).
  bool removesKeysWithNullValues() const { return removesKeysWithNullValues_; }
  void setRemovesKeysWithNullValues(bool removes) { removesKeysWithNullValues_ = removes; }

  // Returns the parsed array or dictionary with the error of the checks chained to the parse error. Returns
  // no object and error -1016 for an unacceptable content type with a body, and for a body that is not text
  // in its character set (unless the status code was already refused, whose error then stands alone).
  HCSerializedResponse responseObjectForResponse(const std::shared_ptr<const ns::URLResponse>& response,
                                                 const std::optional<ns::Data>& data) const override;

 private:
  bool removesKeysWithNullValues_ = false;
};

}  // namespace http_client
