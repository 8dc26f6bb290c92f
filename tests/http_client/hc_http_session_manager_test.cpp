// The HTTP session manager against a loopback server: each method as a data task with exactly one of its
// blocks, the base-URL rule, requests that cannot be built, a multipart POST streamed as an upload, and
// copying and coding.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "http_client/HCHTTPSessionManager.h"
#include "http_client/http_client_test_util.h"
#include "platform/foundation/crypto/Base64.h"

namespace http_client {
namespace {

using httpclienttest::runMainLoopUntil;
using testsupport::TestResponse;

// What the success and failure blocks of one call reported.
struct TaskOutcome {
  int successes = 0;
  int failures = 0;
  bool onMainThread = true;
  std::shared_ptr<ns::URLSessionTask> task;
  std::optional<ns::Value> object;
  std::optional<ns::Error> error;

  HCHTTPSessionManager::SuccessBlock success() {
    return [this](const std::shared_ptr<ns::URLSessionTask>& from, const std::optional<ns::Value>& reported) {
      ++successes;
      onMainThread = onMainThread && ns::RunLoop::isMainThread();
      task = from;
      object = reported;
    };
  }
  HCHTTPSessionManager::FailureBlock failure() {
    return [this](const std::shared_ptr<ns::URLSessionTask>& from, const ns::Error& reported) {
      ++failures;
      onMainThread = onMainThread && ns::RunLoop::isMainThread();
      task = from;
      error = reported;
    };
  }
  bool waitForEnd() {
    const bool ended = runMainLoopUntil([this] { return successes + failures > 0; });
    httpclienttest::runMainLoopThroughQueuedTasks();
    return ended;
  }
};

class HCHTTPSessionManagerTest : public ::testing::Test {
 protected:
  HCHTTPSessionManagerTest() {
    server_.route("/api/items", [](const testsupport::RecordedRequest& request) {
      return TestResponse::text(200, R"({"method":")" + request.method + R"("})", "application/json");
    });
  }
  ~HCHTTPSessionManagerTest() override { manager_->session()->invalidateAndCancel(); }

  testsupport::LoopbackHTTPServer server_;
  std::shared_ptr<HCHTTPSessionManager> manager_ =
      HCHTTPSessionManager::manager(ns::URL::fromString(server_.url("/api")));
};

TEST_F(HCHTTPSessionManagerTest, EachMethodRunsAsAStartedDataTaskAndCallsOneBlock) {
  using Call = std::function<std::shared_ptr<ns::URLSessionTask>(TaskOutcome&)>;
  const std::vector<std::pair<std::string, Call>> calls = {
      {"GET",
       [&](TaskOutcome& o) {
         return manager_->GET("items", ns::Dictionary{{"a", 1}}, o.success(), o.failure());
       }},
      {"POST",
       [&](TaskOutcome& o) {
         return manager_->POST("items", ns::Dictionary{{"a", 1}}, o.success(), o.failure());
       }},
      {"PUT", [&](TaskOutcome& o) { return manager_->PUT("items", std::nullopt, o.success(), o.failure()); }},
      {"PATCH",
       [&](TaskOutcome& o) { return manager_->PATCH("items", std::nullopt, o.success(), o.failure()); }},
      {"DELETE",
       [&](TaskOutcome& o) { return manager_->DELETE("items", std::nullopt, o.success(), o.failure()); }},
  };
  for (const auto& [method, call] : calls) {
    TaskOutcome outcome;
    const std::shared_ptr<ns::URLSessionTask> task = call(outcome);
    ASSERT_NE(task, nullptr) << method;
    EXPECT_NE(task->state(), ns::URLSessionTaskState::kSuspended) << method;
    ASSERT_TRUE(outcome.waitForEnd()) << method;
    EXPECT_EQ(outcome.successes, 1) << method;
    EXPECT_EQ(outcome.failures, 0) << method;
    EXPECT_TRUE(outcome.onMainThread);
    EXPECT_EQ(outcome.task, task);
    EXPECT_EQ(outcome.object->find("method")->asString(), method);
    EXPECT_EQ(server_.requests().back().method, method);
  }
  EXPECT_EQ(server_.requests().front().target, "/api/items?a=1");
  EXPECT_EQ(server_.requests()[1].body, "a=1");
}

TEST_F(HCHTTPSessionManagerTest, HeadAndA204DeleteSucceedAndErrorsGoToTheFailureBlock) {
  // The default JSON serializer reads a reply without a body as nothing, not as an error.
  int headSuccesses = 0;
  std::shared_ptr<ns::URLSessionTask> headed;
  TaskOutcome head;
  const auto task = manager_->HEAD(
      "items", std::nullopt,
      [&](const std::shared_ptr<ns::URLSessionTask>& from) {
        ++headSuccesses;
        headed = from;
      },
      head.failure());
  ASSERT_TRUE(runMainLoopUntil([&] { return headSuccesses + head.failures > 0; }));
  httpclienttest::runMainLoopThroughQueuedTasks();
  EXPECT_EQ(headSuccesses, 1);
  EXPECT_EQ(head.failures, 0);
  EXPECT_EQ(headed, task);
  EXPECT_EQ(server_.requests().back().method, "HEAD");

  TestResponse noContent;
  noContent.status = 204;
  server_.route("/api/lesson", noContent);
  TaskOutcome deleted;
  manager_->DELETE("lesson", std::nullopt, deleted.success(), deleted.failure());
  ASSERT_TRUE(deleted.waitForEnd());
  EXPECT_EQ(deleted.successes, 1);
  EXPECT_EQ(deleted.failures, 0);
  EXPECT_FALSE(deleted.object);
  EXPECT_EQ(server_.requests().back().method, "DELETE");

  TaskOutcome missing;
  manager_->GET("/nothing", std::nullopt, missing.success(), missing.failure());
  ASSERT_TRUE(missing.waitForEnd());
  EXPECT_EQ(missing.failures, 1);
  EXPECT_EQ(missing.successes, 0);
  // The 404 page is no JSON either: the status error lies beneath the reader's.
  ASSERT_TRUE(missing.error->underlyingError());
  EXPECT_EQ(missing.error->underlyingError()->code(), kHCResponseErrorBadServerResponse);
  EXPECT_NE(missing.task, nullptr);
  EXPECT_EQ(server_.requests().back().path, "/nothing");
}

TEST_F(HCHTTPSessionManagerTest, AManagerReleasedWhileItsTaskRunsStillCallsOneBlock) {
  // The reply waits until the manager is gone, so that the task is running when it is released.
  std::promise<void> released;
  std::shared_future<void> managerGone = released.get_future().share();
  server_.route("/api/slow", [managerGone](const testsupport::RecordedRequest&) {
    ns::RunLoop::main().post([] {});
    managerGone.wait_for(std::chrono::seconds(10));
    return TestResponse::text(200, R"({"done":true})", "application/json");
  });
  auto manager = HCHTTPSessionManager::manager(ns::URL::fromString(server_.url("/api")));
  TaskOutcome outcome;
  const auto task = manager->GET("slow", std::nullopt, outcome.success(), outcome.failure());
  ASSERT_TRUE(runMainLoopUntil([&] { return server_.requestCount() == 1; }));
  manager.reset();
  released.set_value();

  ASSERT_TRUE(outcome.waitForEnd());
  EXPECT_EQ(outcome.successes, 1);
  EXPECT_EQ(outcome.failures, 0);
  EXPECT_EQ(outcome.task, task);
  EXPECT_TRUE(outcome.object->find("done")->asBool());
}

TEST_F(HCHTTPSessionManagerTest, TheBaseURLGainsASlashUnlessItHasNoPath) {
  EXPECT_EQ(manager_->baseURL()->absoluteString(), server_.url("/api/"));
  const auto bare = HCHTTPSessionManager::manager(ns::URL::fromString(server_.url("")));
  EXPECT_EQ(bare->baseURL()->absoluteString(), server_.url(""));
  bare->session()->invalidateAndCancel();
  EXPECT_NE(manager_->description().find("baseURL: " + server_.url("/api/")), std::string::npos);
}

TEST_F(HCHTTPSessionManagerTest, ARequestThatCannotBeBuiltFailsOnceWithoutATask) {
  manager_->requestSerializer()->setQueryStringSerializationWithBlock(
      [](const ns::URLRequest&, const ns::Dictionary&) -> ns::Result<std::string> {
        return ns::Error("com.quillmark.test", 7);
      });
  TaskOutcome outcome;
  EXPECT_EQ(manager_->GET("items", ns::Dictionary{{"a", 1}}, outcome.success(), outcome.failure()), nullptr);
  ASSERT_TRUE(outcome.waitForEnd());
  EXPECT_EQ(outcome.failures, 1);
  EXPECT_EQ(outcome.task, nullptr);
  EXPECT_EQ(outcome.error->code(), 7);
  EXPECT_EQ(server_.requestCount(), 0u);
}

TEST_F(HCHTTPSessionManagerTest, AMultipartPostIsStreamedAsAnUpload) {
  server_.route("/api/upload", [](const testsupport::RecordedRequest& request) {
    return TestResponse::text(200, R"({"size":)" + std::to_string(request.body.size()) + "}",
                              "application/json");
  });
  TaskOutcome outcome;
  const auto task = manager_->POST(
      "upload", ns::Dictionary{{"lesson", "7"}},
      [](HCMultipartFormData& form) { form.appendPartWithFormData(ns::dataFromString("notes"), "notes"); },
      outcome.success(), outcome.failure());
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->kind(), ns::URLSessionTaskKind::kUpload);
  ASSERT_TRUE(outcome.waitForEnd());
  EXPECT_EQ(outcome.successes, 1);
  const testsupport::RecordedRequest sent = server_.requests().back();
  EXPECT_TRUE(sent.header("Content-Type")->starts_with("multipart/form-data; boundary="));
  EXPECT_NE(sent.body.find("name=\"lesson\"\r\n\r\n7\r\n"), std::string::npos);
  EXPECT_NE(sent.body.find("name=\"notes\"\r\n\r\nnotes\r\n"), std::string::npos);
}

TEST_F(HCHTTPSessionManagerTest, AChallengedMultipartPostIsSentAgainWithTheSameBytes) {
  const std::string accepted = "Basic " + ns::base64Encode(ns::dataFromString("learner:quill"));
  server_.route("/api/private", [accepted](const testsupport::RecordedRequest& request) {
    if (request.header("Authorization") == accepted) {
      return TestResponse::text(200, R"({"stored":true})", "application/json");
    }
    TestResponse refused = TestResponse::text(401, "{}", "application/json");
    refused.headers.emplace_back("WWW-Authenticate", "Basic realm=\"files\"");
    return refused;
  });
  manager_->setTaskDidReceiveAuthenticationChallengeBlock([](ns::URLSession&, ns::URLSessionTask&,
                                                             const ns::URLAuthenticationChallenge& challenge,
                                                             std::optional<ns::URLCredential>& credential) {
    if (challenge.protectionSpace.authenticationMethod != ns::kURLAuthenticationMethodHTTPBasic) {
      return ns::URLSessionAuthChallengeDisposition::kPerformDefaultHandling;
    }
    credential = ns::URLCredential::withUser("learner", "quill");
    return ns::URLSessionAuthChallengeDisposition::kUseCredential;
  });
  TaskOutcome outcome;
  manager_->POST(
      "private", ns::Dictionary{{"lesson", "7"}},
      [](HCMultipartFormData& form) { form.appendPartWithFormData(ns::dataFromString("notes"), "notes"); },
      outcome.success(), outcome.failure());
  ASSERT_TRUE(outcome.waitForEnd());
  EXPECT_EQ(outcome.successes, 1);
  const std::vector<testsupport::RecordedRequest> sent = server_.requests();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_FALSE(sent[0].header("Authorization"));
  EXPECT_EQ(sent[1].header("Authorization"), accepted);
  EXPECT_NE(sent[0].body.find("name=\"notes\"\r\n\r\nnotes\r\n"), std::string::npos);
  EXPECT_EQ(sent[1].body, sent[0].body);
}

TEST_F(HCHTTPSessionManagerTest, ACopyOrADecodedManagerKeepsBaseURLAndSerializersButNotThePolicy) {
  manager_->requestSerializer()->setValue("quillmark", "X-Client");
  auto policy = std::make_shared<HCSecurityPolicy>();
  policy->setValidatesDomainName(false);
  manager_->setSecurityPolicy(policy);

  const std::shared_ptr<HCHTTPSessionManager> copied = manager_->copy();
  EXPECT_EQ(copied->baseURL()->absoluteString(), server_.url("/api/"));
  EXPECT_EQ(copied->requestSerializer()->valueForHTTPHeaderField("X-Client"), "quillmark");
  EXPECT_NE(copied->requestSerializer(), manager_->requestSerializer());
  EXPECT_TRUE(copied->securityPolicy()->validatesDomainName());

  ns::Dictionary coder;
  manager_->encodeWithCoder(coder);
  const auto decoded = HCHTTPSessionManager::managerWithCoder(coder);
  EXPECT_EQ(decoded->baseURL()->absoluteString(), server_.url("/api/"));
  EXPECT_EQ(decoded->requestSerializer()->valueForHTTPHeaderField("X-Client"), "quillmark");
  copied->session()->invalidateAndCancel();
  decoded->session()->invalidateAndCancel();
}

}  // namespace
}  // namespace http_client
