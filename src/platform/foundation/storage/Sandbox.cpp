#include "platform/foundation/storage/Sandbox.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>
#include <utility>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/storage/FileManager.h"

namespace ns {

namespace {

ns::Mutex homeMutex;
std::optional<std::string> chosenHome QM_GUARDED_BY(homeMutex);

// Returns the environment variable `name` when it is set and not empty.
std::optional<std::string> environmentValue(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') {
    return std::nullopt;
  }
  return std::string(value);
}

std::string userHomeDirectory() {
  if (std::optional<std::string> home = environmentValue("HOME")) {
    return *home;
  }
  passwd entry;
  passwd* found = nullptr;
  char buffer[4096];
  if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr) {
    return found->pw_dir;
  }
  return ".";
}

std::string environmentHome() {
  if (std::optional<std::string> home = environmentValue("QUILLMARK_HOME")) {
    return *home;
  }
  if (std::optional<std::string> dataHome = environmentValue("XDG_DATA_HOME")) {
    return *dataHome + "/quillmark";
  }
  return userHomeDirectory() + "/.local/share/quillmark";
}

// Returns the folder `relativePath` of the home, created when missing.
std::string directoryInHome(std::string_view relativePath) {
  std::string path = Sandbox::homeDirectory() + "/" + std::string(relativePath);
  (void)FileManager::defaultManager().createDirectoryAtPath(path, IntermediateDirectories::kYes);
  return path;
}

}  // namespace

void Sandbox::setHomeDirectory(std::optional<std::string> home) {
  ns::MutexLock lock(homeMutex);
  chosenHome = std::move(home);
}

std::string Sandbox::homeDirectory() {
  ns::MutexLock lock(homeMutex);
  return chosenHome ? *chosenHome : environmentHome();
}

std::string Sandbox::documentsDirectory() {
  return directoryInHome("Documents");
}
std::string Sandbox::preferencesDirectory() {
  return directoryInHome("Library/Preferences");
}
std::string Sandbox::cachesDirectory() {
  return directoryInHome("Library/Caches");
}
std::string Sandbox::temporaryDirectory() {
  return directoryInHome("tmp");
}
std::string Sandbox::pasteboardsDirectory() {
  return directoryInHome("Pasteboards");
}

}  // namespace ns
