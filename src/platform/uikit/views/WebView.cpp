#include "platform/uikit/views/WebView.h"

#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/render/ScreenText.h"

namespace uikit {

WebView::WebView(Rect frame) : View(frame) {}

void WebView::loadRequest(std::string url) {
  QM_DCHECK_MAIN_THREAD();
  if (auto delegate = delegate_.lock();
      delegate && !delegate->webViewShouldStartLoadWithRequest(*this, url)) {
    return;
  }
  start(WebViewLoad{std::move(url), {}, {}, {}, {}});
}

void WebView::loadHTMLString(const std::string& html, std::string baseURL) {
  QM_DCHECK_MAIN_THREAD();
  start(WebViewLoad{{}, ns::dataFromString(html), "text/html", "utf-8", std::move(baseURL)});
}

void WebView::loadData(ns::Data data, std::string mimeType, std::string textEncodingName,
                       std::string baseURL) {
  QM_DCHECK_MAIN_THREAD();
  start(
      WebViewLoad{{}, std::move(data), std::move(mimeType), std::move(textEncodingName), std::move(baseURL)});
}

void WebView::start(WebViewLoad load) {
  loads_.push_back(std::move(load));
  loading_ = true;
  if (auto delegate = delegate_.lock()) {
    delegate->webViewDidStartLoad(*this);
  }
  std::weak_ptr<WebView> weakSelf = std::static_pointer_cast<WebView>(shared_from_this());
  ns::RunLoop::main().post([weakSelf] {
    auto self = weakSelf.lock();
    if (!self) {
      return;
    }
    self->loading_ = false;
    if (auto delegate = self->delegate_.lock()) {
      delegate->webViewDidFinishLoad(*self);
    }
  });
}

void WebView::renderInto(ScreenText& text) const {
  if (!loads_.empty()) {
    const WebViewLoad& last = loads_.back();
    text.addLine(ScreenText::Section::kLabel, "web", *this, last.url.empty() ? last.baseURL : last.url);
  }
  View::renderInto(text);
}

}  // namespace uikit
