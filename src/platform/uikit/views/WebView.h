#pragma once

// uikit::WebView: a view that shows a web page. The stand-in fetches and draws nothing: it records each load
// (a URL, or data with its type) and tells its delegate that the load started, at once, and finished, on the
// next turn of the main loop. Its screen-text line is "web <id>: <url>" for the last load.
//
// Thread-safety: main thread only, like every class of uikit.

#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/values/Data.h"
#include "platform/uikit/views/View.h"
#include "platform/uikit/views/WebViewDelegate.h"

namespace uikit {

// One load of a web view: a request (url) or data (data, MIME type, encoding) read against baseURL.
struct WebViewLoad {
  std::string url;
  ns::Data data;
  std::string mimeType;
  std::string textEncodingName;
  std::string baseURL;
};

class WebView : public View {
 public:
  explicit WebView(Rect frame = {});

  // Loads the page at `url`, unless the delegate refuses it.
  void loadRequest(std::string url);
  void loadHTMLString(const std::string& html, std::string baseURL);
  void loadData(ns::Data data, std::string mimeType, std::string textEncodingName, std::string baseURL);

  // Every load that started, oldest first.
  const std::vector<WebViewLoad>& loads() const { return loads_; }
  // True between a load's start and its finish.
  bool isLoading() const { return loading_; }

  const std::weak_ptr<WebViewDelegate>& delegate() const { return delegate_; }
  void setDelegate(std::weak_ptr<WebViewDelegate> delegate) { delegate_ = std::move(delegate); }

  void renderInto(ScreenText& text) const override;

 private:
  void start(WebViewLoad load);

  std::vector<WebViewLoad> loads_;
  bool loading_ = false;
  std::weak_ptr<WebViewDelegate> delegate_;
};

}  // namespace uikit
