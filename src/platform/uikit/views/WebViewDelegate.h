#pragma once

// uikit::WebViewDelegate: what a web view tells about its loads. Every callback is optional (an empty
// default; a delegate that does not answer shouldStartLoadWithRequest() lets every load start). Held weakly.
// Thread-safety: main thread only, like every class of uikit.

#include <string>

namespace uikit {

class WebView;

class WebViewDelegate {
 public:
  virtual ~WebViewDelegate() = default;

  virtual bool webViewShouldStartLoadWithRequest(WebView&, const std::string& /*url*/) { return true; }
  virtual void webViewDidStartLoad(WebView&) {}
  virtual void webViewDidFinishLoad(WebView&) {}
};

}  // namespace uikit
