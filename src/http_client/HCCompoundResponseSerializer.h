#pragma once

// HCCompoundResponseSerializer: asks its member serializers in turn; the first that makes an object of the
// response answers. When none does, it answers as HCHTTPResponseSerializer (the body as it is), with the
// last member's error, so that a reply no member accepts never passes for one that was read.
//
// Thread-safety: as HCHTTPResponseSerializer; the members are shared, not copied.

#include <memory>
#include <vector>

#include "http_client/HCHTTPResponseSerializer.h"

namespace http_client {

class HCCompoundResponseSerializer : public HCHTTPResponseSerializer {
 public:
  using Serializers = std::vector<std::shared_ptr<HCHTTPResponseSerializer>>;

  static std::shared_ptr<HCCompoundResponseSerializer> compoundSerializerWithResponseSerializers(
      Serializers responseSerializers);

  // The base defaults and no members.
  HCCompoundResponseSerializer() = default;
  // As the base class, then the members archived under "responseSerializers" (none when absent).
  explicit HCCompoundResponseSerializer(const ns::Dictionary& coder);

  // The base class's keys and the members' archives under "responseSerializers".
  void encodeWithCoder(ns::Dictionary& coder) const override;
  // A serializer with the constructor's defaults and the same members.
  std::shared_ptr<HCHTTPResponseSerializer> copy() const override;

  const Serializers& responseSerializers() const { return responseSerializers_; }

  // The answer of the first member (in order; null members skipped) that makes an object, with that
  // member's error. Otherwise the body as HCHTTPResponseSerializer gives it, with the last member's error
  // above the base class's check error.
  HCSerializedResponse responseObjectForResponse(const std::shared_ptr<const ns::URLResponse>& response,
                                                 const std::optional<ns::Data>& data) const override;

 private:
  Serializers responseSerializers_;
};

}  // namespace http_client
