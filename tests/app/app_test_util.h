#pragma once

// AppTestEnvironment: a fresh sandbox, session and request layer, a key window for toasts and alerts, the
// network on Wi-Fi, and the sample back end on loopback as the public web host (its JSON API, and on request
// its media service too: the sample pictures and a short lesson).

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "app/network/QMNetworkHelper.h"
#include "app/network/QMServerHosts.h"
#include "app/network/TREncrypt.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/storage/sandbox_test_util.h"
#include "platform/uikit/app/Window.h"
#include "sample_backend/api/ApiReply.h"
#include "sample_backend/api/ApiServer.h"
#include "sample_backend/media/MediaLibrary.h"
#include "sample_backend/media/MediaService.h"
#include "support/process_reset.h"
#include "ui/hud/ProgressHUD.h"

namespace app {

namespace apptest {

inline constexpr char kLearnerName[] = "learner";
inline constexpr char kLearnerPassword[] = "quill2016";
inline constexpr char kLoginPath[] = "/common/baselogin";

using Parameters = std::map<std::string, std::string, std::less<>>;

// The HUDs showing among the subviews of `view`.
inline std::vector<std::shared_ptr<ui::ProgressHUD>> shownHUDs(const uikit::View& view) {
  std::vector<std::shared_ptr<ui::ProgressHUD>> huds;
  for (const std::shared_ptr<uikit::View>& subview : view.subviews()) {
    auto hud = std::dynamic_pointer_cast<ui::ProgressHUD>(subview);
    if (hud && hud->isShowing()) {
      huds.push_back(hud);
    }
  }
  return huds;
}

class AppTestEnvironment {
 public:
  struct Reply {
    std::optional<ns::Value> object;
    bool arrived = false;
  };

  enum class Media { kNotServed, kServed };

  explicit AppTestEnvironment(Media media = Media::kNotServed) {
    startNewProcess();
    ns::Result<sample_backend::api::SampleCatalogue> catalogue =
        sample_backend::api::SampleCatalogue::fromFile(sample_backend::api::SampleCatalogue::defaultPath());
    EXPECT_TRUE(catalogue.ok());
    auto service = std::make_shared<sample_backend::api::ApiService>(*catalogue);
    std::shared_ptr<sample_backend::media::MediaService> mediaService;
    if (media == Media::kServed) {
      // A lesson of one short segment: enough for the media paths, quick to encode.
      mediaService = std::make_shared<sample_backend::media::MediaService>(
          service,
          sample_backend::media::MediaLibrary::make({.segmentCount = 1, .segmentDuration = 0.4}).value());
    }
    ns::Result<std::unique_ptr<sample_backend::api::ApiServer>> server =
        sample_backend::api::ApiServer::start(service, 0, mediaService);
    EXPECT_TRUE(server.ok());
    server_ = std::move(server).value();
    QMServerHosts::setPublicWebHost(server_->hostAndPort());
    window_ = std::make_shared<uikit::Window>();
    window_->makeKeyAndVisible();
  }

  ~AppTestEnvironment() {
    window_.reset();
    startNewProcess();
  }

  AppTestEnvironment(const AppTestEnvironment&) = delete;
  AppTestEnvironment& operator=(const AppTestEnvironment&) = delete;

  sample_backend::api::ApiService& backend() { return server_->service(); }
  uikit::Window& window() { return *window_; }

  // Forgets what the process holds in memory, as a restart would; the sandbox's files stay.
  void startNewProcess() { testsupport::resetForTesting(); }

  // Posts `path` with the common parameters of `parameters`, as the API clients do, and waits for the reply.
  Reply post(const std::string& path, const std::optional<ns::Dictionary>& parameters = std::nullopt) {
    auto reply = std::make_shared<Reply>();
    QMNetworkHelper::commonServerManager()->POST(
        path, QMNetworkHelper::networkCommonParam(parameters),
        [reply](const std::shared_ptr<http_client::HCHTTPRequestOperation>&,
                const std::optional<ns::Value>& object) {
          reply->object = object;
          reply->arrived = true;
        },
        [reply](const std::shared_ptr<http_client::HCHTTPRequestOperation>&, const ns::Error&) {
          reply->arrived = true;
        });
    EXPECT_TRUE(ns::RunLoop::main().runUntil([&] { return reply->arrived; }, std::chrono::seconds(10)))
        << "no reply to " << path;
    return *reply;
  }

  struct Session {
    std::string sid;
    std::string userId;
  };
  // Posts a login of `name` to the back end and returns the session it opened (empty texts when refused).
  Session postLogin(const std::string& name = kLearnerName, const std::string& password = kLearnerPassword) {
    Reply reply =
        post(kLoginPath, ns::Dictionary{{"username", ns::Value(name)},
                                        {"password", ns::Value(TREncrypt::base64Encrypt(password))}});
    const ns::Value* sid = reply.object ? reply.object->find("sid") : nullptr;
    EXPECT_TRUE(sid) << "login of " << name << " refused";
    return sid ? Session{sid->asString(), reply.object->find("userId")->asString()} : Session{};
  }

  // Makes the back end answer `path` with code 0, `obj` and the top-level members `topLevel`.
  void answer(std::string_view path, nlohmann::json obj, nlohmann::json topLevel = nlohmann::json::object(),
              sample_backend::api::SessionRule rule = sample_backend::api::SessionRule::kOpen) {
    backend().router().add(
        std::string(path), rule, [obj, topLevel](const sample_backend::api::RouteContext&) {
          sample_backend::api::ApiReply reply = sample_backend::api::ApiReply::success(obj);
          reply.topLevel = topLevel;
          return reply;
        });
  }

  // The parameters of the requests of `path` the back end received, in order.
  std::vector<Parameters> sentParameters(std::string_view path) {
    std::vector<Parameters> sent;
    for (const sample_backend::api::RecordedApiRequest& record : backend().recordedRequests(path)) {
      sent.push_back(record.request.parameters);
    }
    return sent;
  }

  // The texts of the toasts on the key window, oldest first.
  std::vector<std::string> toasts() const {
    std::vector<std::string> texts;
    for (const std::shared_ptr<ui::ProgressHUD>& hud : shownHUDs(*window_)) {
      if (hud->mode() == ui::ProgressHUDMode::kText) {
        texts.push_back(hud->labelText());
      }
    }
    return texts;
  }

  // True while a loading indicator (a HUD that is not a toast) is up on the key window.
  bool loadingIndicatorShown() const {
    for (const std::shared_ptr<ui::ProgressHUD>& hud : shownHUDs(*window_)) {
      if (hud->mode() != ui::ProgressHUDMode::kText) {
        return true;
      }
    }
    return false;
  }

  // Removes every view the tests put on the key window (toasts among them).
  void clearWindow() {
    const std::vector<std::shared_ptr<uikit::View>> views = window_->subviews();
    for (const std::shared_ptr<uikit::View>& view : views) {
      view->removeFromSuperview();
    }
  }

 private:
  ns::testutil::TemporarySandbox sandbox_;
  std::unique_ptr<sample_backend::api::ApiServer> server_;
  std::shared_ptr<uikit::Window> window_;
};

}  // namespace apptest

}  // namespace app
