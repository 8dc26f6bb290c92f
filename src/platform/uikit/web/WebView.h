#pragma once

// uikit::WebView: a view that shows a web page, the stand-in for the platform's web view. It shows what a
// person reads on the page: its text, line by line (HTMLPageText.h), without scripts or styles, which it
// never runs.
//
// Loads: an http or https request is fetched through URL loading (ns::URLDataLoad) on the main loop, its
// body at most kMaximumPageSize bytes; an HTML page (or XHTML) shows its text, another text shows as it is,
// anything else shows nothing. A failure (no connection, an unsupported scheme, a body too large) keeps the
// page shown before and reports the error. A "tel:" URL loads no page: the system offers to call the number,
// which the view records (offeredCall()) and the screen text shows until the next load. A new load, or
// stopLoading(), ends the one before without a word to the delegate (WebViewDelegate.h gives the order of
// the calls).
//
// Screen text: "web <id>: <url>", followed by " (loading)" while a load runs or " (failed: <reason>)" after a
// failure; then each line of the page, indented by two blanks; and, on top of the screen, "call offered:
// <number>" for a "tel:" URL.
//
// Thread-safety: main thread only, like every class of uikit.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Error.h"
#include "platform/net/URLDataLoad.h"
#include "platform/net/URLRequest.h"
#include "platform/uikit/views/View.h"
#include "platform/uikit/web/WebViewDelegate.h"

namespace uikit {

class WebView : public View {
 public:
  // The largest page the view reads, in bytes.
  static constexpr std::size_t kMaximumPageSize = std::size_t{4} << 20;

  explicit WebView(Rect frame = {});
  // Stops the load under way; its delegate hears nothing more.
  ~WebView() override;

  // Loads `request`, unless the delegate refuses it, as the header comment describes.
  // REQUIRES: the view is owned by a std::shared_ptr.
  void loadRequest(ns::URLRequest request);
  // Shows the page `html`, read as UTF-8, as if loaded from `baseURL`; it finishes on the next turn of the
  // main loop. REQUIRES: the view is owned by a std::shared_ptr.
  void loadHTMLString(const std::string& html, std::string baseURL);
  // A load whose page the caller fetches itself (through a request operation, say). beginFetchedPageLoad()
  // begins it as loadRequest() does, naming `url` (the load before ends without a word; the delegate hears
  // this one start), and returns its number. The caller ends it at once with showFetchedPage(), which shows
  // `data` as a loaded page of `MIMEType` in `textEncodingName` shows, as if loaded from `baseURL`, or with
  // failFetchedPageLoad(); either does nothing once load `load` has been stopped or replaced.
  std::uint64_t beginFetchedPageLoad(std::string url);
  void showFetchedPage(std::uint64_t load, const ns::Data& data, const std::optional<std::string>& MIMEType,
                       const std::optional<std::string>& textEncodingName, std::string baseURL);
  void failFetchedPageLoad(std::uint64_t load, const ns::Error& error);
  // Ends the load under way, if any, without telling the delegate.
  void stopLoading();

  // The request of the latest loadRequest() that started, or std::nullopt.
  const std::optional<ns::URLRequest>& request() const { return request_; }
  // True between a load's start and its finish or failure.
  bool isLoading() const { return loading_; }
  // The lines of text of the page shown; empty before a page has loaded.
  const std::vector<std::string>& pageText() const { return pageText_; }
  // The number of the latest "tel:" URL loaded, which the system offers to call; std::nullopt otherwise.
  const std::optional<std::string>& offeredCall() const { return offeredCall_; }
  // The error of the latest load when it failed; std::nullopt otherwise.
  const std::optional<ns::Error>& loadError() const { return loadError_; }

  const std::weak_ptr<WebViewDelegate>& delegate() const { return delegate_; }
  void setDelegate(std::weak_ptr<WebViewDelegate> delegate) { delegate_ = std::move(delegate); }

  void renderInto(ScreenText& text) const override;

 private:
  // Marks a load as started (`shownURL` is what the screen text names) and tells the delegate.
  void begin(std::string shownURL);
  // Ends the current load in a later turn of the main loop, with `page` shown when it is set.
  void finishOnNextTurn(std::optional<std::vector<std::string>> page);
  void finish(std::optional<std::vector<std::string>> page);
  void fail(const ns::Error& error);
  void pageArrived(const std::shared_ptr<const ns::URLResponse>& response, ns::Result<ns::Data> body);
  std::weak_ptr<WebView> weakSelf();

  std::weak_ptr<WebViewDelegate> delegate_;
  std::optional<ns::URLRequest> request_;
  std::string shownURL_;
  bool loading_ = false;
  // Counts the loads begun, so that a finish posted for a load that was since replaced or stopped is dropped.
  std::uint64_t loadNumber_ = 0;
  std::shared_ptr<ns::URLDataLoad> pageLoad_;
  std::vector<std::string> pageText_;
  std::optional<std::string> offeredCall_;
  std::optional<ns::Error> loadError_;
};

}  // namespace uikit
