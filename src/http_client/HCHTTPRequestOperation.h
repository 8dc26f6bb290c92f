#pragma once

// HCHTTPRequestOperation: an HCURLConnectionOperation whose response serializer turns the response and body
// into an object once the connection has ended, off the main thread, and which then calls exactly one of a
// success and a failure block.
//
// Pausing keeps what was received and asks, on resume, for the rest ("Range: bytes=N-", with "If-Range" when
// the response had an entity tag). Only a 206 reply whose Content-Range starts at that byte continues the
// body; any other reply starts the body afresh.
//
// Thread-safety: as HCURLConnectionOperation.

#include <memory>
#include <optional>

#include "http_client/HCHTTPResponseSerializer.h"
#include "http_client/HCURLConnectionOperation.h"
#include "platform/foundation/check/Mutex.h"
#include "platform/net/HTTPURLResponse.h"

namespace http_client {

class HCHTTPRequestOperation : public HCURLConnectionOperation {
 public:
  // Gets the operation and its response object (none when the serializer made none).
  using SuccessBlock = std::function<void(const std::shared_ptr<HCHTTPRequestOperation>& operation,
                                          const std::optional<ns::Value>& responseObject)>;
  // Gets the operation (nullptr when the request could not even be built) and the error.
  using FailureBlock =
      std::function<void(const std::shared_ptr<HCHTTPRequestOperation>& operation, const ns::Error& error)>;

  // The concurrent queue "com.httpclient.networking.http-request.processing" on which replies are parsed.
  static ns::DispatchQueue& processingQueue();

  // A ready operation with a plain HCHTTPResponseSerializer. Create it with std::make_shared.
  explicit HCHTTPRequestOperation(ns::URLRequest request);
  // A ready operation whose replies `serializer` parses. REQUIRES: serializer is not null.
  HCHTTPRequestOperation(ns::URLRequest request, std::shared_ptr<HCHTTPResponseSerializer> serializer);
  // As the base class, then the response serializer under "responseSerializer".
  explicit HCHTTPRequestOperation(const ns::Dictionary& coder);

  // The base class's keys and "responseSerializer".
  void encodeWithCoder(ns::Dictionary& coder) override;
  // The base class's copy with a copy of the response serializer.
  std::shared_ptr<HCURLConnectionOperation> copy() const override;

  // The response as an HTTP response; nullptr before it arrives or when it is not one.
  std::shared_ptr<const ns::HTTPURLResponse> response() const;

  std::shared_ptr<HCHTTPResponseSerializer> responseSerializer() const;
  // Replaces the serializer and forgets the object and error it made.
  void setResponseSerializer(std::shared_ptr<HCHTTPResponseSerializer> serializer);
  // The object the serializer makes of the response and body, made on the first call once the operation
  // has finished without a transport error, and kept; std::nullopt before then.
  std::optional<ns::Value> responseObject() const;
  // The image an image serializer made of the response, made and kept as responseObject() is; nullptr
  // otherwise.
  std::shared_ptr<const uikit::Image> responseImage() const;
  // The object the serializer makes that no value can hold (the parser of an XML reply), made and kept as
  // responseObject() is; nullptr when there is none.
  std::shared_ptr<ns::Object> responseReferenceObject() const;
  std::optional<ns::Error> responseSerializationError() const;
  // The serializer's error when there is one, else the transport error.
  std::optional<ns::Error> error() const override;

  // Installs the completion: once the operation has finished, the reply is parsed on processingQueue(),
  // and then `failure` (a transport or serializer error) or else `success` is queued on the completion
  // queue (main by default). Either block may be empty.
  void setCompletionBlockWithSuccess(SuccessBlock success, FailureBlock failure);

  // The base pause, then the request is changed to ask for the rest of the body on resume.
  void pause() override;

 protected:
  std::string className() const override { return "HCHTTPRequestOperation"; }
  void didReceiveFinalResponse(ns::URLConnection& connection,
                               std::shared_ptr<const ns::URLResponse> response) override;

 private:
  // REQUIRES: on the network thread.
  void prepareRequestForResume();
  // Has the serializer make the response object once the operation has finished without a transport error.
  void serializeResponseOnce() const QM_REQUIRES(serializationMutex_);

  // Held around the fields below, and while the reply is serialised so that it is serialised once. The base
  // class's lock may be taken while it is held, never the other way round.
  mutable ns::Mutex serializationMutex_;
  std::shared_ptr<HCHTTPResponseSerializer> responseSerializer_ QM_GUARDED_BY(serializationMutex_);
  mutable bool responseSerialized_ QM_GUARDED_BY(serializationMutex_) = false;
  mutable std::optional<ns::Value> responseObject_ QM_GUARDED_BY(serializationMutex_);
  mutable std::shared_ptr<const uikit::Image> responseImage_ QM_GUARDED_BY(serializationMutex_);
  mutable std::shared_ptr<ns::Object> responseReferenceObject_ QM_GUARDED_BY(serializationMutex_);
  mutable std::optional<ns::Error> responseSerializationError_ QM_GUARDED_BY(serializationMutex_);

  // Network thread only: the body offset asked for on resume.
  std::optional<std::uint64_t> resumeOffset_;
};

}  // namespace http_client
