#pragma once

// uikit::WebViewDelegate: what a web view asks and tells about its loads. Every callback is optional (an
// empty default; a delegate that does not answer shouldStartLoadWithRequest() lets every load start). For
// each load that starts, didStartLoad comes at once and then, on a later turn of the main loop, exactly one
// of didFinishLoad and didFailLoadWithError, unless the load is stopped first (stopLoading(), another load,
// or the view's release), which ends it without a word. Held weakly.
// Thread-safety: main thread only, like every class of uikit.

#include "platform/foundation/values/Error.h"
#include "platform/net/URLRequest.h"

namespace uikit {

class WebView;

class WebViewDelegate {
 public:
  virtual ~WebViewDelegate() = default;

  virtual bool webViewShouldStartLoadWithRequest(WebView&, const ns::URLRequest& /*request*/) { return true; }
  virtual void webViewDidStartLoad(WebView&) {}
  virtual void webViewDidFinishLoad(WebView&) {}
  // `error` says why the page did not load: URL loading's error (ns::kURLErrorDomain), or for a page its
  // caller fetched (WebView::beginFetchedPageLoad()), the error that caller met.
  virtual void webViewDidFailLoadWithError(WebView&, const ns::Error& /*error*/) {}
};

}  // namespace uikit
