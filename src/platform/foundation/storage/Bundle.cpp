#include "platform/foundation/storage/Bundle.h"

#include <cstdlib>
#include <filesystem>
#include <utility>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/storage/ExecutablePath.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/PropertyListFile.h"

namespace ns {

namespace {

ns::Mutex mainBundleMutex;
std::shared_ptr<const Bundle> mainBundleInstance QM_GUARDED_BY(mainBundleMutex);
std::optional<std::string> resourcePathForTesting QM_GUARDED_BY(mainBundleMutex);

std::string searchResourcePath() {
  if (const char* resources = std::getenv("QUILLMARK_RESOURCES");
      resources != nullptr && *resources != '\0') {
    return resources;
  }
  return (std::filesystem::path(executablePath()).parent_path() / "resources").string();
}

}  // namespace

std::shared_ptr<const Bundle> Bundle::mainBundle() {
  ns::MutexLock lock(mainBundleMutex);
  if (mainBundleInstance == nullptr) {
    mainBundleInstance = std::make_shared<const Bundle>(resourcePathForTesting ? *resourcePathForTesting
                                                                               : searchResourcePath());
  }
  return mainBundleInstance;
}

void Bundle::setMainBundleResourcePathForTesting(std::optional<std::string> resourcePath) {
  ns::MutexLock lock(mainBundleMutex);
  resourcePathForTesting = std::move(resourcePath);
  mainBundleInstance.reset();
}

Bundle::Bundle(std::string resourcePath)
    : resourcePath_(std::move(resourcePath)),
      infoDictionary_(readPropertyListDictionary(resourcePath_ + "/Info.plist")) {}

const Value* Bundle::objectForInfoDictionaryKey(std::string_view key) const {
  const auto found = infoDictionary_.find(key);
  return found == infoDictionary_.end() ? nullptr : &found->second;
}

std::optional<std::string> Bundle::pathForResource(std::string_view name, std::string_view type) const {
  // Names can come from server replies (image names); none may reach outside the bundle's folder.
  if (name.empty() || name.find('/') != std::string_view::npos || type.find('/') != std::string_view::npos ||
      name == "." || name == "..") {
    return std::nullopt;
  }
  std::string fileName(name);
  if (!type.empty()) {
    fileName += ".";
    fileName += type;
  }
  std::string path = resourcePath_ + "/" + fileName;
  if (!FileManager::defaultManager().fileExistsAtPath(path)) {
    return std::nullopt;
  }
  return path;
}

}  // namespace ns
