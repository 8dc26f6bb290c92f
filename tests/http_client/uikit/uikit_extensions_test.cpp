// The UIKit extensions following real requests over loopback to their end: activity indicators, refresh
// controls and progress views bound to tasks and operations, alerts for their errors, and the status bar's
// network activity count.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "http_client/HCHTTPRequestOperation.h"
#include "http_client/HCURLSessionManager.h"
#include "http_client/http_client_test_util.h"
#include "http_client/uikit/HCActivityIndicatorViewNotificationObserver.h"
#include "http_client/uikit/HCAlertViewOnError.h"
#include "http_client/uikit/HCNetworkActivityIndicatorManager.h"
#include "http_client/uikit/HCProgressViewBinding.h"
#include "http_client/uikit/HCRefreshControlNotificationObserver.h"
#include "http_client/uikit/HCWebViewLoading.h"
#include "platform/net/URLError.h"
#include "platform/uikit/alerts/AlertView.h"
#include "platform/uikit/app/Application.h"
#include "support/scoped_manual_clock.h"

namespace http_client {
namespace {

using httpclienttest::requestTo;
using httpclienttest::runMainLoopUntil;
using testsupport::TestResponse;

class UIKitExtensionsTest : public ::testing::Test {
 protected:
  UIKitExtensionsTest() {
    server_.route("/lesson", TestResponse::text(200, R"({"title":"one"})", "application/json"));
    server_.route("/missing", TestResponse::text(404, "{}", "application/json"));
    server_.route("/silent", [](const testsupport::RecordedRequest&) {
      ns::RunLoop::main().post([] {});
      return TestResponse::noAnswer();
    });
  }
  ~UIKitExtensionsTest() override {
    manager_->session()->invalidateAndCancel();
    uikit::AlertView::removeAllForTesting();
  }

  // A task of the manager that reports its end into `ended`.
  std::shared_ptr<ns::URLSessionTask> taskFor(const std::string& path, bool& ended) {
    return manager_->dataTaskWithRequest(
        requestTo(server_.url(path)),
        [&ended](const std::shared_ptr<const ns::URLResponse>&, const std::optional<ns::Value>&,
                 const std::optional<ns::Error>&) { ended = true; });
  }
  // Runs the main loop until the completion notification of the ended task has been delivered too.
  static void drain() { httpclienttest::runMainLoopThroughQueuedTasks(); }

  testsupport::LoopbackHTTPServer server_;
  std::shared_ptr<HCURLSessionManager> manager_ = HCURLSessionManager::manager();
};

TEST_F(UIKitExtensionsTest, AnActivityIndicatorSpinsWhileItsTaskRunsAndIgnoresAFinishedOne) {
  auto indicator = std::make_shared<uikit::ActivityIndicatorView>();
  bool ended = false;
  const auto task = taskFor("/lesson", ended);
  auto& observer = HCActivityIndicatorViewNotificationObserver::of(*indicator);
  EXPECT_EQ(&observer, &HCActivityIndicatorViewNotificationObserver::of(*indicator));
  indicator->startAnimating();
  observer.setAnimatingWithStateOfTask(task);
  EXPECT_FALSE(indicator->isAnimating());  // suspended until resumed
  task->resume();
  ASSERT_TRUE(runMainLoopUntil([&] { return indicator->isAnimating() || ended; }));
  ASSERT_TRUE(runMainLoopUntil([&] { return ended; }));
  drain();
  EXPECT_FALSE(indicator->isAnimating());

  indicator->startAnimating();
  observer.setAnimatingWithStateOfTask(task);
  EXPECT_TRUE(indicator->isAnimating());
}

TEST_F(UIKitExtensionsTest, ARefreshControlRefreshesOnlyForARunningTask) {
  auto control = std::make_shared<uikit::RefreshControl>();
  bool ended = false;
  const auto task = taskFor("/silent", ended);
  auto& observer = HCRefreshControlNotificationObserver::of(*control);
  task->resume();
  observer.setRefreshingWithStateOfTask(task);
  EXPECT_TRUE(control->isRefreshing());
  task->cancel();
  ASSERT_TRUE(runMainLoopUntil([&] { return ended; }));
  drain();
  EXPECT_FALSE(control->isRefreshing());

  control->beginRefreshing();
  observer.setRefreshingWithStateOfTask(task);
  EXPECT_FALSE(control->isRefreshing());
}

TEST_F(UIKitExtensionsTest, AnActivityIndicatorFollowsAnOperationFromStartToFinish) {
  auto indicator = std::make_shared<uikit::ActivityIndicatorView>();
  auto operation = std::make_shared<HCHTTPRequestOperation>(requestTo(server_.url("/lesson")));
  HCActivityIndicatorViewNotificationObserver::of(*indicator).setAnimatingWithStateOfOperation(operation);
  bool started = false;
  const auto token = ns::NotificationCenter::defaultCenter().addObserverForName(
      kHCNetworkingOperationDidStartNotification, operation, nullptr,
      [&](const ns::Notification&) { started = indicator->isAnimating(); });
  operation->start();
  ASSERT_TRUE(runMainLoopUntil([&] { return operation->isFinished(); }));
  drain();
  ns::NotificationCenter::defaultCenter().removeObserver(token);
  EXPECT_FALSE(indicator->isAnimating());
}

TEST_F(UIKitExtensionsTest, AProgressViewFollowsItsTaskUntilItEndsOrItIsBoundElsewhere) {
  const std::string body(200'000, 'x');
  server_.route("/big", TestResponse::text(200, body, "application/json"));
  auto view = std::make_shared<uikit::ProgressView>();
  bool ended = false;
  const auto task = taskFor("/big", ended);
  HCProgressViewBinding::setProgressWithDownloadProgressOfTask(*view, task, false);
  task->resume();
  ASSERT_TRUE(runMainLoopUntil([&] { return ended; }));
  drain();
  EXPECT_FLOAT_EQ(view->progress(), 1.0f);

  // Bound to a second task, the view no longer follows the first one.
  bool firstEnded = false;
  bool secondEnded = false;
  const auto first = taskFor("/big", firstEnded);
  const auto second = taskFor("/silent", secondEnded);
  view->setProgress(0);
  HCProgressViewBinding::setProgressWithDownloadProgressOfTask(*view, first, false);
  HCProgressViewBinding::setProgressWithDownloadProgressOfTask(*view, second, false);
  first->resume();
  ASSERT_TRUE(runMainLoopUntil([&] { return firstEnded; }));
  drain();
  EXPECT_FLOAT_EQ(view->progress(), 0.0f);

  // A view that goes while its task runs leaves nothing behind on the task.
  second->resume();
  view.reset();
  second->cancel();
  ASSERT_TRUE(runMainLoopUntil([&] { return secondEnded; }));
}

TEST_F(UIKitExtensionsTest, AProgressViewWithoutAnExpectedLengthKeepsItsProgress) {
  TestResponse chunked = TestResponse::text(200, std::string(50'000, 'y'), "application/json");
  chunked.framing = TestResponse::Framing::kChunked;
  server_.route("/chunked", chunked);
  auto view = std::make_shared<uikit::ProgressView>();
  view->setProgress(0.25f);
  bool ended = false;
  const auto task = taskFor("/chunked", ended);
  HCProgressViewBinding::setProgressWithDownloadProgressOfTask(*view, task, true);
  task->resume();
  ASSERT_TRUE(runMainLoopUntil([&] { return ended; }));
  drain();
  EXPECT_FLOAT_EQ(view->progress(), 0.25f);
}

TEST_F(UIKitExtensionsTest, AProgressViewFollowsAnOperationAndKeepsItsBlock) {
  const std::string body(100'000, 'z');
  server_.route("/big", TestResponse::text(200, body, "application/octet-stream"));
  auto view = std::make_shared<uikit::ProgressView>();
  auto operation = std::make_shared<HCHTTPRequestOperation>(requestTo(server_.url("/big")));
  std::int64_t keptTotal = 0;
  operation->setDownloadProgressBlock(
      [&](std::int64_t, std::int64_t total, std::int64_t) { keptTotal = total; });
  HCProgressViewBinding::setProgressWithDownloadProgressOfOperation(*view, operation, false);
  operation->start();
  ASSERT_TRUE(runMainLoopUntil([&] { return operation->isFinished() && keptTotal == 100'000; }));
  drain();
  EXPECT_FLOAT_EQ(view->progress(), 1.0f);
}

TEST_F(UIKitExtensionsTest, AnAlertShowsTheErrorATaskEndsWithAndNothingForASuccess) {
  bool succeeded = false;
  const auto fine = taskFor("/lesson", succeeded);
  HCAlertViewOnError::showAlertViewForTaskWithErrorOnCompletion(fine, {});
  fine->resume();
  ASSERT_TRUE(runMainLoopUntil([&] { return succeeded; }));
  drain();
  EXPECT_TRUE(uikit::AlertView::shownAlerts().empty());

  bool failed = false;
  const auto missing = taskFor("/missing", failed);
  HCAlertViewOnError::showAlertViewForTaskWithErrorOnCompletion(missing, {});
  missing->resume();
  ASSERT_TRUE(runMainLoopUntil([&] { return !uikit::AlertView::shownAlerts().empty(); }));
  const auto alert = uikit::AlertView::shownAlerts().back();
  EXPECT_EQ(alert->title(), "Error");
  EXPECT_NE(alert->message().find("404"), std::string::npos);
  EXPECT_EQ(alert->buttonTitleAtIndex(0), "Dismiss");
  EXPECT_EQ(alert->numberOfButtons(), 1);
}

TEST_F(UIKitExtensionsTest, AlertTitlesAndMessagesComeFromTheErrorsTexts) {
  HCAlertViewOnError::showAlertForError(ns::Error("com.quillmark.test", 3), {}, "OK", {"Retry"});
  HCAlertViewOnError::showAlertForError(
      ns::Error("com.quillmark.test", 4,
                {{std::string(ns::kLocalizedDescriptionKey), "Upload failed"},
                 {"NSLocalizedFailureReason", "The disk is full"}}),
      {}, "OK", {});
  const auto alerts = uikit::AlertView::shownAlerts();
  ASSERT_EQ(alerts.size(), 2u);
  EXPECT_EQ(alerts[0]->title(), "Error");
  EXPECT_EQ(alerts[0]->message(), "com.quillmark.test Error: 3");
  EXPECT_EQ(alerts[0]->buttonTitleAtIndex(1), "Retry");
  EXPECT_EQ(alerts[1]->title(), "Upload failed");
  EXPECT_EQ(alerts[1]->message(), "The disk is full");
}

TEST_F(UIKitExtensionsTest, PausingAnOperationDoesNotUseUpItsAlert) {
  auto operation = std::make_shared<HCHTTPRequestOperation>(requestTo(server_.url("/silent")));
  HCAlertViewOnError::showAlertViewForRequestOperationWithErrorOnCompletion(operation, {});
  operation->start();
  ASSERT_TRUE(runMainLoopUntil([&] { return server_.requestCount() == 1; }));
  operation->pause();
  drain();
  operation->cancel();
  ASSERT_TRUE(runMainLoopUntil([&] { return !uikit::AlertView::shownAlerts().empty(); }));
  EXPECT_EQ(uikit::AlertView::shownAlerts().back()->title(), "Error");
}

TEST_F(UIKitExtensionsTest, TheActivityCountFollowsEveryRequestOnceAndTheIndicatorHidesAfterADelay) {
  testsupport::ScopedManualClock clock;
  auto activity = HCNetworkActivityIndicatorManager::create();
  activity->setEnabled(true);
  uikit::Application& application = uikit::Application::sharedApplication();
  application.setNetworkActivityIndicatorVisible(false);

  bool slowEnded = false;
  bool quickEnded = false;
  const auto slow = taskFor("/silent", slowEnded);
  const auto quick = taskFor("/silent", quickEnded);
  slow->resume();
  quick->resume();
  EXPECT_EQ(activity->activityCount(), 0);  // announced on the main queue
  ASSERT_TRUE(runMainLoopUntil([&] { return activity->activityCount() == 2; }));
  drain();
  EXPECT_TRUE(application.isNetworkActivityIndicatorVisible());

  // A task suspended and then cancelled leaves the count once, so the other one still counts.
  quick->suspend();
  quick->cancel();
  ASSERT_TRUE(runMainLoopUntil([&] { return quickEnded; }));
  drain();
  EXPECT_EQ(activity->activityCount(), 1);
  slow->suspend();
  slow->cancel();
  ASSERT_TRUE(runMainLoopUntil([&] { return slowEnded; }));
  drain();
  EXPECT_EQ(activity->activityCount(), 0);
  EXPECT_TRUE(application.isNetworkActivityIndicatorVisible());
  clock.advance(std::chrono::milliseconds(100));
  activity->incrementActivityCount();
  drain();
  clock.advance(std::chrono::milliseconds(100));
  EXPECT_TRUE(application.isNetworkActivityIndicatorVisible());
  activity->decrementActivityCount();
  activity->decrementActivityCount();
  drain();
  EXPECT_EQ(activity->activityCount(), 0);
  clock.advance(std::chrono::milliseconds(169));
  EXPECT_TRUE(application.isNetworkActivityIndicatorVisible());
  clock.advance(std::chrono::milliseconds(1));
  EXPECT_FALSE(application.isNetworkActivityIndicatorVisible());
}

}  // namespace
}  // namespace http_client

namespace http_client {
namespace {

class RecordingWebViewDelegate : public uikit::WebViewDelegate {
 public:
  void webViewDidStartLoad(uikit::WebView&) override { events.push_back("start"); }
  void webViewDidFinishLoad(uikit::WebView&) override { events.push_back("finish"); }
  void webViewDidFailLoadWithError(uikit::WebView&, const ns::Error& error) override {
    events.push_back("fail " + std::to_string(error.code()));
  }
  std::vector<std::string> events;
};

TEST_F(UIKitExtensionsTest, AWebViewsDelegateHearsItsOperationStartAndThenFinishOrFail) {
  server_.route("/page", TestResponse::text(200, "<html><body><p>Hello lesson</p></body></html>",
                                            "text/html; charset=utf-8"));
  auto webView = std::make_shared<uikit::WebView>();
  auto delegate = std::make_shared<RecordingWebViewDelegate>();
  webView->setDelegate(delegate);
  HCWebViewLoading& loading = HCWebViewLoading::of(*webView);
  std::int64_t progressed = 0;
  loading.loadRequest(
      requestTo(server_.url("/page")),
      [&](std::int64_t, std::int64_t total, std::int64_t) { progressed = total; },
      [](const std::shared_ptr<const ns::HTTPURLResponse>& response, const std::string& html) {
        EXPECT_EQ(response->statusCode(), 200);
        std::string changed = html;
        changed.replace(changed.find("Hello"), 5, "Welcome to the");
        return changed;
      },
      nullptr);
  ASSERT_NE(loading.HTTPRequestOperation(), nullptr);
  EXPECT_EQ(delegate->events, std::vector<std::string>{"start"}) << "the delegate hears the start at once";
  EXPECT_TRUE(webView->isLoading());
  ASSERT_TRUE(runMainLoopUntil([&] { return delegate->events.size() == 2; }));
  EXPECT_EQ(delegate->events, (std::vector<std::string>{"start", "finish"}));
  EXPECT_EQ(webView->pageText(), std::vector<std::string>{"Welcome to the lesson"});
  EXPECT_GT(progressed, 0);

  // A refused page: the failure block and the delegate hear the same error; the page shown stays.
  delegate->events.clear();
  std::optional<ns::Error> failed;
  loading.loadRequest(requestTo(server_.url("/missing")), std::nullopt, std::nullopt, nullptr, nullptr,
                      [&](const ns::Error& error) { failed = error; });
  ASSERT_TRUE(runMainLoopUntil([&] { return failed.has_value(); }));
  EXPECT_EQ(failed->code(), kHCResponseErrorBadServerResponse);
  EXPECT_EQ(delegate->events,
            (std::vector<std::string>{"start", "fail " + std::to_string(kHCResponseErrorBadServerResponse)}));
  EXPECT_FALSE(webView->isLoading());
  EXPECT_EQ(webView->pageText(), std::vector<std::string>{"Welcome to the lesson"});

  // A load replaced before it ends: its failure block hears the cancellation, its delegate nothing more.
  delegate->events.clear();
  std::optional<ns::Error> cancelled;
  loading.loadRequest(requestTo(server_.url("/silent")), std::nullopt, std::nullopt, nullptr, nullptr,
                      [&](const ns::Error& error) { cancelled = error; });
  bool shown = false;
  loading.loadRequest(
      requestTo(server_.url("/page")), std::nullopt, std::nullopt, nullptr,
      [&](const std::shared_ptr<const ns::HTTPURLResponse>&, const ns::Data& data) {
        shown = true;
        return data;
      },
      nullptr);
  ASSERT_TRUE(
      runMainLoopUntil([&] { return cancelled.has_value() && shown && delegate->events.size() == 3; }));
  EXPECT_EQ(cancelled->code(), ns::kURLErrorCancelled);
  EXPECT_EQ(delegate->events, (std::vector<std::string>{"start", "start", "finish"}));
  EXPECT_EQ(webView->pageText(), std::vector<std::string>{"Hello lesson"});
}

}  // namespace
}  // namespace http_client
