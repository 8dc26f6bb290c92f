// The web view against a real server on loopback: what a page shows, what it never runs or fetches, how a
// failure and a call number are reported, and the order of the delegate's calls.

#include <chrono>

#include "platform/net/URLError.h"
#include "platform/uikit/driver/Driver.h"
#include "platform/uikit/web/HTMLPageText.h"
#include "platform/uikit/web/WebView.h"
#include "support/loopback_http_server.h"
#include "uikit_test_util.h"

namespace uikit::testing {
namespace {

class LoadLog : public WebViewDelegate {
 public:
  bool webViewShouldStartLoadWithRequest(WebView&, const ns::URLRequest& request) override {
    return !request.url() || request.url()->path() != "/refused";
  }
  void webViewDidStartLoad(WebView&) override { events.push_back("start"); }
  void webViewDidFinishLoad(WebView&) override { events.push_back("finish"); }
  void webViewDidFailLoadWithError(WebView&, const ns::Error& error) override {
    events.push_back("fail " + std::to_string(error.code()));
  }
  std::vector<std::string> events;
};

constexpr char kAgreementPage[] = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>协议</title>
<style>p { color: red; }</style>
<script>document.write("脚本的字");</script></head>
<body><h1>学员协议</h1>
<p>第一条：  学员   应当
按时上课。</p><!-- 注释 -->
<ul><li>甲 &amp; 乙</li><li>a&lt;b&gt;</li></ul>
<p>电话<br>4006009000</p><script type="text/javascript">alert(1)</script>
</body></html>)";

class WebViewTest : public ScreenTest<> {
 protected:
  void SetUp() override {
    ScreenTest<>::SetUp();
    web_ = std::make_shared<WebView>(Rect(0, 0, 320, 400));
    web_->setDelegate(log_);
    screen_->view()->addSubview(web_);
    server_.route("/agreement.html",
                  testsupport::TestResponse::text(200, kAgreementPage, "text/html; charset=utf-8"));
  }

  void load(const std::string& url) { web_->loadRequest(ns::URLRequest(ns::URL::fromString(url))); }

  bool runUntilLoaded() {
    return ns::RunLoop::main().runUntil([&] { return !web_->isLoading(); }, std::chrono::seconds(10));
  }

  testsupport::LoopbackHTTPServer server_;
  std::shared_ptr<LoadLog> log_ = std::make_shared<LoadLog>();
  std::shared_ptr<WebView> web_;
};

TEST_F(WebViewTest, APageShowsItsTextWithoutScriptsOrStyles) {
  load(server_.url("/agreement.html"));
  EXPECT_TRUE(web_->isLoading());
  EXPECT_NE(Driver::screenText().find("(loading)"), std::string::npos);
  ASSERT_TRUE(runUntilLoaded());

  EXPECT_THAT(log_->events, ElementsAre("start", "finish"));
  EXPECT_THAT(web_->pageText(), ElementsAre("学员协议", "第一条： 学员 应当 按时上课。", "甲 & 乙", "a<b>",
                                            "电话", "4006009000"));
  const std::string screen = Driver::screenText();
  EXPECT_NE(screen.find("web: " + server_.url("/agreement.html") + "\n  学员协议\n"), std::string::npos)
      << screen;
  for (const char* hidden : {"脚本", "alert", "color", "注释", "协议</title>"}) {
    EXPECT_EQ(screen.find(hidden), std::string::npos) << hidden << " in\n" << screen;
  }
  EXPECT_EQ(server_.requestCount(), 1u);
}

TEST_F(WebViewTest, ThePageNeverReachesTheNetworkForItsDocumentType) {
  server_.route("/external.html",
                testsupport::TestResponse::text(200,
                                                "<!DOCTYPE html SYSTEM \"" + server_.url("/dtd") +
                                                    "\"><html><body><p>本地&amp;文字</p><img src=\"" +
                                                    server_.url("/img.png") + "\"></body></html>",
                                                "text/html"));
  load(server_.url("/external.html"));
  ASSERT_TRUE(runUntilLoaded());
  EXPECT_THAT(web_->pageText(), ElementsAre("本地&文字"));
  EXPECT_EQ(server_.requestCount(), 1u) << "only the page itself was fetched";
}

TEST_F(WebViewTest, AFailedLoadIsReportedAndKeepsThePageShownBefore) {
  load(server_.url("/agreement.html"));
  ASSERT_TRUE(runUntilLoaded());

  std::string closedPortURL;
  {
    testsupport::LoopbackHTTPServer gone;
    closedPortURL = gone.url("/page.html");
  }
  load(closedPortURL);
  ASSERT_TRUE(runUntilLoaded());
  EXPECT_THAT(log_->events, ElementsAre("start", "finish", "start",
                                        "fail " + std::to_string(ns::kURLErrorCannotConnectToHost)));
  ASSERT_TRUE(web_->loadError());
  EXPECT_EQ(web_->pageText().front(), "学员协议");
  EXPECT_NE(Driver::screenText().find("web: " + closedPortURL + " (failed: "), std::string::npos)
      << Driver::screenText();

  // A scheme that is neither http nor https, and a page too large to hold, fail the same way.
  load("ftp://127.0.0.1/agreement.html");
  ASSERT_TRUE(runUntilLoaded());
  EXPECT_EQ(log_->events.back(), "fail " + std::to_string(ns::kURLErrorUnsupportedURL));
  server_.route("/huge.html", testsupport::TestResponse::text(
                                  200, std::string(WebView::kMaximumPageSize + 1, 'x'), "text/html"));
  load(server_.url("/huge.html"));
  ASSERT_TRUE(runUntilLoaded());
  EXPECT_EQ(log_->events.back(), "fail " + std::to_string(ns::kURLErrorDataLengthExceedsMaximum));
}

TEST_F(WebViewTest, ATelephoneURLOffersACallAndFetchesNothing) {
  load("tel:4006009000");
  EXPECT_TRUE(web_->isLoading());
  EXPECT_THAT(log_->events, ElementsAre("start"));
  nextTurn();
  EXPECT_FALSE(web_->isLoading());
  EXPECT_THAT(log_->events, ElementsAre("start", "finish"));
  EXPECT_EQ(web_->offeredCall(), "4006009000");
  const std::string screen = Driver::screenText();
  EXPECT_NE(screen.find("call offered: 4006009000\n"), std::string::npos) << screen;
  EXPECT_EQ(server_.requestCount(), 0u);

  // The offer lasts until the next load.
  load(server_.url("/agreement.html"));
  EXPECT_EQ(web_->offeredCall(), std::nullopt);
  ASSERT_TRUE(runUntilLoaded());
  EXPECT_EQ(Driver::screenText().find("call offered"), std::string::npos);
}

TEST_F(WebViewTest, ANewLoadOrAStopEndsTheLoadBeforeWithoutAWord) {
  server_.route("/silent.html", testsupport::TestResponse::noAnswer());
  load(server_.url("/silent.html"));
  load(server_.url("/agreement.html"));
  ASSERT_TRUE(runUntilLoaded());
  EXPECT_THAT(log_->events, ElementsAre("start", "start", "finish"));

  load(server_.url("/silent.html"));
  web_->stopLoading();
  EXPECT_FALSE(web_->isLoading());
  load("tel:4006009000");
  web_->stopLoading();
  nextTurn();
  EXPECT_THAT(log_->events, ElementsAre("start", "start", "finish", "start", "start"));

  // A refused request does not start, and leaves the view as it was.
  load(server_.url("/refused"));
  EXPECT_EQ(log_->events.size(), 5u);
  EXPECT_EQ(web_->request()->url()->absoluteString(), "tel:4006009000");
}

TEST(HTMLPageTextTest, ReadsThePagesOwnEncodingAndKeepsPlainTextApart) {
  // "学" in GBK.
  EXPECT_THAT(HTMLPageText::linesOf("<p>\xD1\xA7</p>", "gbk"), ElementsAre("学"));
  EXPECT_THAT(
      HTMLPageText::linesOf("<div>a<div>b</div>c</div><table><tr><td>1</td><td>2</td></tr></table>", ""),
      ElementsAre("a", "b", "c", "1 2"));
  EXPECT_TRUE(HTMLPageText::linesOf("", "").empty());
  EXPECT_TRUE(HTMLPageText::linesOf("<script>only()</script>", "").empty());
}

}  // namespace
}  // namespace uikit::testing
