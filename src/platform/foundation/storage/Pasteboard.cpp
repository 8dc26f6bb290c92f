#include "platform/foundation/storage/Pasteboard.h"

#include <cerrno>
#include <cstdio>
#include <map>
#include <utility>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/PropertyListFile.h"
#include "platform/foundation/storage/Sandbox.h"

namespace ns {

namespace {

ns::Mutex openedMutex;
std::map<std::string, std::shared_ptr<Pasteboard>, std::less<>> openedPasteboards QM_GUARDED_BY(openedMutex);

bool isPlainFileNameCharacter(unsigned char character) {
  return (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') ||
         (character >= '0' && character <= '9') || character == '.' || character == '-' || character == '_';
}

// Any name becomes a file name of its own: bytes other than letters, digits, ".", "-" and "_" are written as
// "%XX", and the suffix keeps names such as ".." from naming a folder.
std::string filePathForName(std::string_view name) {
  std::string fileName;
  for (const char character : name) {
    const auto byte = static_cast<unsigned char>(character);
    if (isPlainFileNameCharacter(byte)) {
      fileName += character;
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
      fileName += escaped;
    }
  }
  return Sandbox::pasteboardsDirectory() + "/" + fileName + ".pasteboard";
}

}  // namespace

std::shared_ptr<Pasteboard> Pasteboard::withName(std::string_view name, Create create) {
  ns::MutexLock lock(openedMutex);
  if (const auto opened = openedPasteboards.find(name); opened != openedPasteboards.end()) {
    return opened->second;
  }
  const std::string path = filePathForName(name);
  std::shared_ptr<Pasteboard> pasteboard;
  if (FileManager::defaultManager().fileExistsAtPath(path)) {
    pasteboard.reset(new Pasteboard(std::string(name), true, readPropertyListDictionary(path)));
  } else if (create == Create::kYes) {
    pasteboard.reset(new Pasteboard(std::string(name), false, Dictionary()));
  } else {
    return nullptr;
  }
  openedPasteboards.emplace(std::string(name), pasteboard);
  return pasteboard;
}

void Pasteboard::resetForTesting() {
  ns::MutexLock lock(openedMutex);
  openedPasteboards.clear();
}

Pasteboard::Pasteboard(std::string name, bool persistent, Dictionary items)
    : name_(std::move(name)), persistent_(persistent), items_(std::move(items)) {}

bool Pasteboard::isPersistent() const {
  ns::MutexLock lock(mutex_);
  return persistent_;
}

Status Pasteboard::setPersistent(bool persistent) {
  ns::MutexLock lock(mutex_);
  if (persistent == persistent_) {
    return Status();
  }
  Status stored = storeLocked(persistent, items_);
  if (stored.ok()) {
    persistent_ = persistent;
  }
  return stored;
}

std::optional<Data> Pasteboard::dataForPasteboardType(std::string_view type) const {
  ns::MutexLock lock(mutex_);
  const auto found = items_.find(type);
  if (found == items_.end() || !found->second.isData()) {
    return std::nullopt;
  }
  return found->second.asData();
}

Status Pasteboard::setData(const Data& data, std::string_view type) {
  Dictionary items{{std::string(type), Value(data)}};
  ns::MutexLock lock(mutex_);
  if (persistent_) {
    if (Status stored = storeLocked(true, items); !stored.ok()) {
      return stored;
    }
  }
  items_ = std::move(items);
  return Status();
}

Status Pasteboard::storeLocked(bool persistent, const Dictionary& items) const {
  const std::string path = filePathForName(name_);
  if (persistent) {
    return writePropertyListDictionary(items, path);
  }
  Status removed = FileManager::defaultManager().removeItemAtPath(path);
  const bool alreadyGone = !removed.ok() && removed.error().code() == ENOENT;
  return alreadyGone ? Status() : removed;
}

}  // namespace ns
