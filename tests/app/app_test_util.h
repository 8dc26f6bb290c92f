#pragma once

// AppTestEnvironment: what a test of the application core stands on: a fresh sandbox, a fresh session and
// request layer, a key window for toasts and alerts, the network on Wi-Fi, and the sample back end on
// loopback as the public web host. post() sends a request the way the API clients do and runs the main loop
// until its reply (or ten seconds).

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/network/DeviceUID.h"
#include "app/network/QMNetworkHelper.h"
#include "app/network/QMServerHosts.h"
#include "app/session/QMAppServices.h"
#include "app/session/QMUser.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/storage/sandbox_test_util.h"
#include "platform/outside/SimulatedNetwork.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Window.h"
#include "sample_backend/api/ApiServer.h"
#include "ui/hud/ProgressHUD.h"

namespace apptest {

class AppTestEnvironment {
 public:
  struct Reply {
    std::optional<ns::Value> object;
    std::optional<ns::Error> error;
    bool arrived = false;
  };

  AppTestEnvironment() {
    startNewProcess();
    ns::Result<sample_backend::api::SampleCatalogue> catalogue =
        sample_backend::api::SampleCatalogue::fromFile(sample_backend::api::SampleCatalogue::defaultPath());
    EXPECT_TRUE(catalogue.ok());
    ns::Result<std::unique_ptr<sample_backend::api::ApiServer>> server =
        sample_backend::api::ApiServer::start(std::make_shared<sample_backend::api::ApiService>(*catalogue));
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
  void startNewProcess() {
    uikit::Application::sharedApplication().resetForTesting();
    sandbox_.simulateRestart();
    QMUser::resetSharedInstanceForTesting();
    QMAppServices::resetForTesting();
    QMNetworkHelper::resetForTesting();
    DeviceUID::resetCacheForTesting();
    outside::SimulatedNetwork::resetForTesting();
  }

  // Posts `path` with the common parameters of `parameters` through the shared manager and waits for the
  // reply.
  Reply post(const std::string& path, const std::optional<ns::Dictionary>& parameters = std::nullopt) {
    auto reply = std::make_shared<Reply>();
    QMNetworkHelper::commonServerManager()->POST(
        path, QMNetworkHelper::networkCommonParam(parameters),
        [reply](const std::shared_ptr<HCHTTPRequestOperation>&, const std::optional<ns::Value>& object) {
          reply->object = object;
          reply->arrived = true;
        },
        [reply](const std::shared_ptr<HCHTTPRequestOperation>&, const ns::Error& error) {
          reply->error = error;
          reply->arrived = true;
        });
    EXPECT_TRUE(ns::RunLoop::main().runUntil([&] { return reply->arrived; }, std::chrono::seconds(10)))
        << "no reply to " << path;
    return *reply;
  }

  // Returns the texts of the toasts on the key window, oldest first.
  std::vector<std::string> toasts() const {
    std::vector<std::string> texts;
    for (const std::shared_ptr<uikit::View>& view : window_->subviews()) {
      auto hud = std::dynamic_pointer_cast<ui::ProgressHUD>(view);
      if (hud && hud->isShowing() && hud->mode() == ui::ProgressHUDMode::kText) {
        texts.push_back(hud->labelText());
      }
    }
    return texts;
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
