#pragma once

// ns::Bundle: the application's read-only resources (key file, images, property lists) and its information
// property list, resources/Info.plist, which names the version ("CFBundleShortVersionString") and the
// identifier ("CFBundleIdentifier").
//
// The main bundle's folder is, in this order of precedence: the folder given to
// setMainBundleResourcePathForTesting(), the QUILLMARK_RESOURCES environment variable, and otherwise
// "resources" beside the executable (the build copies it there for the application and the test programs).
//
// Thread-safety: a Bundle is constant after construction and may be used from any thread; mainBundle() and
// the test hook may be called from any thread.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/values/Value.h"

namespace ns {

class Bundle {
 public:
  // Returns the main bundle, made on first use (and after the test hook). Holders keep a valid bundle even
  // when the test hook later replaces it.
  static std::shared_ptr<const Bundle> mainBundle();
  // Makes `resourcePath` the main bundle's folder from now on; std::nullopt returns to the search above.
  static void setMainBundleResourcePathForTesting(std::optional<std::string> resourcePath);

  // Makes the bundle of the folder `resourcePath`, reading its Info.plist (missing or unreadable: no info).
  explicit Bundle(std::string resourcePath);

  const std::string& resourcePath() const { return resourcePath_; }

  // Returns the value under `key` in Info.plist, or nullptr when it has none.
  const Value* objectForInfoDictionaryKey(std::string_view key) const;

  // Returns the path of the resource file `name`.`type` (just `name` when `type` is empty), or std::nullopt
  // when the bundle has no such file. An empty name, a name or type holding "/", and the names "." and ".."
  // name nothing, so that no lookup leaves the bundle's folder.
  std::optional<std::string> pathForResource(std::string_view name, std::string_view type) const;

 private:
  // Constant after construction
  const std::string resourcePath_;
  const Dictionary infoDictionary_;
};

}  // namespace ns
