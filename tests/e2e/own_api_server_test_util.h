#pragma once

// startOwnApiServer(): the sample back end's API on a loopback port of its own, inside the test, serving the
// default catalogue (changed first by `edit`, when given), so that a test can look at the requests it got
// and steer its replies (TestControls).

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "sample_backend/api/ApiServer.h"
#include "sample_backend/api/SampleCatalogue.h"

namespace e2e {

inline std::unique_ptr<sample_backend::api::ApiServer> startOwnApiServer(
    const std::function<void(sample_backend::api::SampleCatalogue&)>& edit = {}) {
  ns::Result<sample_backend::api::SampleCatalogue> catalogue =
      sample_backend::api::SampleCatalogue::fromFile(sample_backend::api::SampleCatalogue::defaultPath());
  EXPECT_TRUE(catalogue.ok());
  if (edit) {
    edit(*catalogue);
  }
  auto service = std::make_shared<sample_backend::api::ApiService>(std::move(catalogue).value());
  ns::Result<std::unique_ptr<sample_backend::api::ApiServer>> server =
      sample_backend::api::ApiServer::start(service);
  EXPECT_TRUE(server.ok());
  return std::move(server).value();
}

}  // namespace e2e
