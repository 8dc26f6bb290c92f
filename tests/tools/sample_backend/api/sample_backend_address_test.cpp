// The sample back end's address across restarts with one state folder: the same ports again, so that the
// absolute URLs a client stored stay valid, and other ports when the remembered ones are taken.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "sample_backend/SampleBackend.h"

namespace sample_backend {
namespace {

class SampleBackendAddressTest : public ::testing::Test {
 protected:
  SampleBackendAddressTest() {
    std::random_device randomness;
    do {
      folder_ =
          std::filesystem::temp_directory_path() / ("quillmark-address-" + std::to_string(randomness()));
    } while (!std::filesystem::create_directory(folder_));
  }
  ~SampleBackendAddressTest() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::unique_ptr<SampleBackend> start() {
    SampleBackend::Options options;
    options.stateFolder = folder_.string();
    ns::Result<std::unique_ptr<SampleBackend>> started = SampleBackend::start(options);
    EXPECT_TRUE(started.ok());
    return started.ok() ? std::move(started).value() : nullptr;
  }

  std::filesystem::path folder_;
};

TEST_F(SampleBackendAddressTest, ARestartWithTheSameStateFolderRunsOnTheSamePorts) {
  std::unique_ptr<SampleBackend> first = start();
  ASSERT_NE(first, nullptr);
  const std::string webHost = first->webHost();
  const std::uint16_t statisticsPort = first->statisticsPort();
  first.reset();

  const std::unique_ptr<SampleBackend> again = start();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->webHost(), webHost);
  EXPECT_EQ(again->statisticsPort(), statisticsPort);
}

TEST_F(SampleBackendAddressTest, RememberedPortsThatAreTakenGiveWayToFreeOnes) {
  const std::unique_ptr<SampleBackend> running = start();
  ASSERT_NE(running, nullptr);
  const std::unique_ptr<SampleBackend> second = start();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second->webHost(), running->webHost());
  EXPECT_NE(second->statisticsPort(), running->statisticsPort());
}

}  // namespace
}  // namespace sample_backend
