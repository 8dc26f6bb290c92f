#pragma once

// testsupport::ScopedScratchHome: a fresh, empty home folder (ns::Sandbox) for the life of the object, so
// that what a test writes into the app's folders (temporary files, downloads) never reaches the person's own
// home. The folder goes, with everything in it, when the object ends, and the environment's home comes back.
// Thread-safety: one thread; no other test changes the home meanwhile.

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "platform/foundation/storage/Sandbox.h"

namespace testsupport {

class ScopedScratchHome {
 public:
  ScopedScratchHome()
      : path_(std::filesystem::temp_directory_path() /
              ("quillmark-home-" + std::to_string(getpid()) + "-" + std::to_string(counter()++))) {
    std::filesystem::create_directories(path_);
    ns::Sandbox::setHomeDirectory(path_.string());
  }
  ~ScopedScratchHome() {
    ns::Sandbox::setHomeDirectory(std::nullopt);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScopedScratchHome(const ScopedScratchHome&) = delete;
  ScopedScratchHome& operator=(const ScopedScratchHome&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  static std::atomic<int>& counter() {
    static std::atomic<int> value = 0;
    return value;
  }

  const std::filesystem::path path_;
};

}  // namespace testsupport
