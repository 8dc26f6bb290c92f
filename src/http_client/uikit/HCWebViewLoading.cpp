#include "http_client/uikit/HCWebViewLoading.h"

#include "platform/foundation/check/Check.h"
#include "platform/foundation/text/StringEncoding.h"

namespace http_client {

namespace {

// The key under which the loading state is kept on its web view.
const char kLoadingKey = 0;

const std::shared_ptr<HCHTTPRequestSerializer>& sharedRequestSerializer() {
  static const std::shared_ptr<HCHTTPRequestSerializer> serializer = HCHTTPRequestSerializer::serializer();
  return serializer;
}

const std::shared_ptr<HCHTTPResponseSerializer>& sharedResponseSerializer() {
  static const std::shared_ptr<HCHTTPResponseSerializer> serializer = HCHTTPResponseSerializer::serializer();
  return serializer;
}

// The encoding the response names, UTF-8 when it names none the platform knows.
ns::StringEncoding encodingOf(const std::shared_ptr<const ns::HTTPURLResponse>& response) {
  const std::optional<std::string>& name = response ? response->textEncodingName() : std::nullopt;
  return (name ? ns::StringEncoding::fromIANACharsetName(*name) : std::nullopt)
      .value_or(ns::StringEncoding::utf8());
}

}  // namespace

HCWebViewLoading& HCWebViewLoading::of(uikit::WebView& view) {
  std::shared_ptr<void> kept = view.associatedObject(&kLoadingKey);
  if (!kept) {
    kept =
        std::make_shared<HCWebViewLoading>(std::static_pointer_cast<uikit::WebView>(view.shared_from_this()));
    view.setAssociatedObject(&kLoadingKey, kept);
  }
  return *static_cast<HCWebViewLoading*>(kept.get());
}

HCWebViewLoading::HCWebViewLoading(std::weak_ptr<uikit::WebView> view) : view_(std::move(view)) {}

std::shared_ptr<HCHTTPRequestSerializer> HCWebViewLoading::requestSerializer() const {
  return requestSerializer_ ? requestSerializer_ : sharedRequestSerializer();
}

void HCWebViewLoading::setRequestSerializer(std::shared_ptr<HCHTTPRequestSerializer> serializer) {
  requestSerializer_ = std::move(serializer);
}

std::shared_ptr<HCHTTPResponseSerializer> HCWebViewLoading::responseSerializer() const {
  return responseSerializer_ ? responseSerializer_ : sharedResponseSerializer();
}

void HCWebViewLoading::setResponseSerializer(std::shared_ptr<HCHTTPResponseSerializer> serializer) {
  responseSerializer_ = std::move(serializer);
}

void HCWebViewLoading::loadRequest(const ns::URLRequest& request, ProgressBlock progress,
                                   StringSuccessBlock success, FailureBlock failure) {
  loadRequest(
      request, std::nullopt, std::nullopt, std::move(progress),
      [success = std::move(success)](const std::shared_ptr<const ns::HTTPURLResponse>& response,
                                     const ns::Data& data) -> ns::Data {
        const ns::StringEncoding encoding = encodingOf(response);
        const std::string html = encoding.decode(data).value_or(std::string());
        const std::string shown = success ? success(response, html) : html;
        return encoding.encode(shown).value_or(ns::Data());
      },
      std::move(failure));
}

void HCWebViewLoading::loadRequest(const ns::URLRequest& request, std::optional<std::string> MIMEType,
                                   std::optional<std::string> textEncodingName, ProgressBlock progress,
                                   DataSuccessBlock success, FailureBlock failure) {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<uikit::WebView> view = view_.lock();
  if (operation_) {
    // The cancelled operation still calls its failure block; the view's load ends without a word.
    if (view) {
      view->stopLoading();
    }
    operation_->cancel();
    operation_.reset();
  }
  ns::Result<ns::URLRequest> serialized =
      requestSerializer()->requestBySerializingRequest(request, std::nullopt);
  if (!serialized) {
    if (failure) {
      failure(serialized.error());
    }
    return;
  }
  operation_ = std::make_shared<HCHTTPRequestOperation>(*serialized, responseSerializer());
  operation_->setDownloadProgressBlock(std::move(progress));
  const std::optional<ns::URL> url = serialized->url();
  const std::uint64_t load =
      view ? view->beginFetchedPageLoad(url ? url->absoluteString() : std::string()) : 0;
  operation_->setCompletionBlockWithSuccess(
      [weakView = view_, load, MIMEType = std::move(MIMEType), textEncodingName = std::move(textEncodingName),
       success = std::move(success)](const std::shared_ptr<HCHTTPRequestOperation>& operation,
                                     const std::optional<ns::Value>&) {
        const std::shared_ptr<uikit::WebView> shown = weakView.lock();
        if (!shown) {
          return;
        }
        const std::shared_ptr<const ns::HTTPURLResponse> response = operation->response();
        const ns::Data body = operation->responseData().value_or(ns::Data());
        shown->showFetchedPage(
            load, success ? success(response, body) : body,
            MIMEType ? MIMEType : (response ? response->MIMEType() : std::nullopt),
            textEncodingName ? textEncodingName : (response ? response->textEncodingName() : std::nullopt),
            response ? response->url().absoluteString() : std::string());
      },
      [weakView = view_, load, failure = std::move(failure)](const std::shared_ptr<HCHTTPRequestOperation>&,
                                                             const ns::Error& error) {
        if (failure) {
          failure(error);
        }
        if (const std::shared_ptr<uikit::WebView> shown = weakView.lock()) {
          shown->failFetchedPageLoad(load, error);
        }
      });
  operation_->start();
}

}  // namespace http_client
