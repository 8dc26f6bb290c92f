#include "platform/uikit/web/WebView.h"

#include <sstream>
#include <string_view>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/text/CaseMapping.h"
#include "platform/uikit/render/ScreenText.h"
#include "platform/uikit/web/HTMLPageText.h"

namespace uikit {

namespace {

constexpr std::string_view kTelScheme = "tel";

// The lines of a text that is not HTML, as they stand (without their line ends), blank ones left out.
std::vector<std::string> plainLines(std::string_view text) {
  std::vector<std::string> lines;
  std::istringstream stream{std::string(text)};
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (!line.empty()) {
      lines.push_back(std::move(line));
    }
  }
  return lines;
}

// What a page of `mimeType` in `encoding` shows, as the header comment of WebView.h describes.
std::vector<std::string> shownText(const ns::Data& body, const std::optional<std::string>& mimeType,
                                   const std::optional<std::string>& encoding) {
  const std::string type = ns::lowercased(mimeType.value_or(""));
  const std::string_view bytes(reinterpret_cast<const char*>(body.data()), body.size());
  if (type == "text/html" || type == "application/xhtml+xml") {
    return HTMLPageText::linesOf(bytes, encoding.value_or(""));
  }
  if (type.rfind("text/", 0) == 0) {
    return plainLines(bytes);
  }
  return {};
}

}  // namespace

WebView::WebView(Rect frame) : View(frame) {}

WebView::~WebView() {
  stopLoading();
}

void WebView::loadRequest(ns::URLRequest request) {
  QM_DCHECK_MAIN_THREAD();
  if (auto delegate = delegate_.lock();
      delegate && !delegate->webViewShouldStartLoadWithRequest(*this, request)) {
    return;
  }
  const std::optional<ns::URL> url = request.url();
  request_ = std::move(request);
  begin(url ? url->absoluteString() : std::string());
  if (url && url->scheme() && ns::lowercased(*url->scheme()) == kTelScheme) {
    offeredCall_ = url->path();
    finishOnNextTurn(std::nullopt);
    return;
  }
  std::weak_ptr<WebView> weak = weakSelf();
  pageLoad_ = ns::URLDataLoad::start(
      *request_, kMaximumPageSize, {},
      [weak](std::shared_ptr<const ns::URLResponse> response, ns::Result<ns::Data> body) {
        if (std::shared_ptr<WebView> self = weak.lock()) {
          self->pageArrived(response, std::move(body));
        }
      });
}

void WebView::loadHTMLString(const std::string& html, std::string baseURL) {
  QM_DCHECK_MAIN_THREAD();
  begin(std::move(baseURL));
  finishOnNextTurn(HTMLPageText::linesOf(html, "utf-8"));
}

std::uint64_t WebView::beginFetchedPageLoad(std::string url) {
  QM_DCHECK_MAIN_THREAD();
  begin(std::move(url));
  return loadNumber_;
}

void WebView::showFetchedPage(std::uint64_t load, const ns::Data& data,
                              const std::optional<std::string>& MIMEType,
                              const std::optional<std::string>& textEncodingName, std::string baseURL) {
  QM_DCHECK_MAIN_THREAD();
  if (load != loadNumber_ || !loading_) {
    return;
  }
  shownURL_ = std::move(baseURL);
  finish(shownText(data, MIMEType, textEncodingName));
}

void WebView::failFetchedPageLoad(std::uint64_t load, const ns::Error& error) {
  QM_DCHECK_MAIN_THREAD();
  if (load == loadNumber_ && loading_) {
    fail(error);
  }
}

void WebView::stopLoading() {
  QM_DCHECK_MAIN_THREAD();
  ++loadNumber_;
  loading_ = false;
  if (pageLoad_) {
    std::exchange(pageLoad_, nullptr)->cancel();
  }
}

void WebView::begin(std::string shownURL) {
  stopLoading();
  shownURL_ = std::move(shownURL);
  offeredCall_.reset();
  loadError_.reset();
  loading_ = true;
  if (auto delegate = delegate_.lock()) {
    delegate->webViewDidStartLoad(*this);
  }
}

void WebView::finishOnNextTurn(std::optional<std::vector<std::string>> page) {
  std::weak_ptr<WebView> weak = weakSelf();
  ns::RunLoop::main().post([weak, load = loadNumber_, page = std::move(page)]() mutable {
    std::shared_ptr<WebView> self = weak.lock();
    if (self && self->loadNumber_ == load) {
      self->finish(std::move(page));
    }
  });
}

void WebView::finish(std::optional<std::vector<std::string>> page) {
  loading_ = false;
  if (page) {
    pageText_ = std::move(*page);
    setNeedsDisplay();
  }
  if (auto delegate = delegate_.lock()) {
    delegate->webViewDidFinishLoad(*this);
  }
}

void WebView::fail(const ns::Error& error) {
  loading_ = false;
  loadError_ = error;
  setNeedsDisplay();
  if (auto delegate = delegate_.lock()) {
    delegate->webViewDidFailLoadWithError(*this, error);
  }
}

void WebView::pageArrived(const std::shared_ptr<const ns::URLResponse>& response, ns::Result<ns::Data> body) {
  // The load's completion never comes after a stop, so this is the current load; it ends here.
  pageLoad_.reset();
  if (!body.ok()) {
    fail(body.error());
    return;
  }
  finish(shownText(body.value(), response->MIMEType(), response->textEncodingName()));
}

std::weak_ptr<WebView> WebView::weakSelf() {
  return std::static_pointer_cast<WebView>(shared_from_this());
}

void WebView::renderInto(ScreenText& text) const {
  if (loading_ || loadError_ || !shownURL_.empty() || !pageText_.empty()) {
    std::string status = shownURL_;
    if (loading_) {
      status += " (loading)";
    } else if (loadError_) {
      status += " (failed: " + loadError_->localizedDescription() + ")";
    }
    text.addLine(ScreenText::Section::kLabel, "web", *this, status);
    for (const std::string& line : pageText_) {
      text.addRawLine(ScreenText::Section::kLabel, "  " + line);
    }
  }
  if (offeredCall_) {
    text.addRawLine(ScreenText::Section::kOnTop, "call offered: " + *offeredCall_);
  }
  View::renderInto(text);
}

}  // namespace uikit
