#pragma once

// HCWebViewLoading: makes a web view load its page through a request operation. One is kept on each web view
// that loads this way (of()), with the view's current operation and its own request and response serializers
// (by default an HCHTTPRequestSerializer and an HCHTTPResponseSerializer shared by every web view).
//
// A load cancels the view's current operation, passes the request through the request serializer with no
// parameters, runs the operation at once (on no queue) with the progress block as its download progress,
// and on success shows the body (or what the success block makes of it) in the view, with the given MIME
// type and text encoding name (else the response's) and the response's URL as base URL; on failure it calls
// the failure block. The load is the view's own (WebView::beginFetchedPageLoad()): it shows as loading, and
// the view's delegate hears it start when the operation starts, then its finish once the page is shown or
// its failure, unless a later load or stopLoading() ends it first.
//
// Thread-safety: main thread only.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "http_client/HCHTTPRequestOperation.h"
#include "http_client/HCHTTPRequestSerializer.h"
#include "http_client/HCHTTPResponseSerializer.h"
#include "platform/net/HTTPURLResponse.h"
#include "platform/uikit/web/WebView.h"

namespace http_client {

class HCWebViewLoading {
 public:
  using ProgressBlock = HCURLConnectionOperation::ProgressBlock;
  // Returns the text to show from the response and the page's text.
  using StringSuccessBlock = std::function<std::string(
      const std::shared_ptr<const ns::HTTPURLResponse>& response, const std::string& html)>;
  // Returns the data to show from the response and the body.
  using DataSuccessBlock = std::function<ns::Data(const std::shared_ptr<const ns::HTTPURLResponse>& response,
                                                  const ns::Data& data)>;
  using FailureBlock = std::function<void(const ns::Error& error)>;

  // Returns what is kept on `view`, made on first use. REQUIRES: the view is owned by a std::shared_ptr.
  static HCWebViewLoading& of(uikit::WebView& view);

  explicit HCWebViewLoading(std::weak_ptr<uikit::WebView> view);

  // Loads `request` as text: the body read in the response's text encoding (UTF-8 when it names none the
  // platform knows), given to `success`, and its answer shown in the same encoding.
  void loadRequest(const ns::URLRequest& request, ProgressBlock progress, StringSuccessBlock success,
                   FailureBlock failure);
  void loadRequest(const ns::URLRequest& request, std::optional<std::string> MIMEType,
                   std::optional<std::string> textEncodingName, ProgressBlock progress,
                   DataSuccessBlock success, FailureBlock failure);

  // The operation of the latest load, or nullptr.
  const std::shared_ptr<HCHTTPRequestOperation>& HTTPRequestOperation() const { return operation_; }
  std::shared_ptr<HCHTTPRequestSerializer> requestSerializer() const;
  void setRequestSerializer(std::shared_ptr<HCHTTPRequestSerializer> serializer);
  std::shared_ptr<HCHTTPResponseSerializer> responseSerializer() const;
  void setResponseSerializer(std::shared_ptr<HCHTTPResponseSerializer> serializer);

 private:
  // Constant after construction
  const std::weak_ptr<uikit::WebView> view_;

  std::shared_ptr<HCHTTPRequestOperation> operation_;
  std::shared_ptr<HCHTTPRequestSerializer> requestSerializer_;
  std::shared_ptr<HCHTTPResponseSerializer> responseSerializer_;
};

}  // namespace http_client
