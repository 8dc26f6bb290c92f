#pragma once

// TemporarySandbox points the app sandbox at a fresh temporary folder for the life of a test, so that no test
// touches the user's real home, and can make the storage layer forget its in-memory state as a restart would.

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "platform/foundation/storage/Pasteboard.h"
#include "platform/foundation/storage/Sandbox.h"
#include "platform/foundation/storage/UserDefaults.h"

namespace ns::testutil {

class TemporarySandbox {
 public:
  TemporarySandbox() : home_(createUniqueFolder()) {
    Sandbox::setHomeDirectory(home_.string());
    simulateRestart();
  }

  ~TemporarySandbox() {
    simulateRestart();
    Sandbox::setHomeDirectory(std::nullopt);
    std::error_code ignored;
    std::filesystem::remove_all(home_, ignored);
  }

  TemporarySandbox(const TemporarySandbox&) = delete;
  TemporarySandbox& operator=(const TemporarySandbox&) = delete;

  std::string home() const { return home_.string(); }
  // Returns the path of `relativePath` inside the home.
  std::string path(const std::string& relativePath) const { return (home_ / relativePath).string(); }

  // Drops the user defaults and open pasteboards held in memory; the files stay for the next use to read.
  void simulateRestart() {
    UserDefaults::resetStandardUserDefaultsForTesting();
    Pasteboard::resetForTesting();
  }

 private:
  static std::filesystem::path createUniqueFolder() {
    std::random_device randomness;
    for (;;) {
      const std::filesystem::path candidate =
          std::filesystem::temp_directory_path() / ("quillmark-test-" + std::to_string(randomness()));
      if (std::filesystem::create_directory(candidate)) {
        return candidate;
      }
    }
  }

  std::filesystem::path home_;
};

}  // namespace ns::testutil
