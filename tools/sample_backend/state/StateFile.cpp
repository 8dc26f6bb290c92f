#include "sample_backend/state/StateFile.h"

#include <iostream>

#include "platform/foundation/storage/FileManager.h"

namespace sample_backend::state {

ns::Error damagedStateError(const std::string& path, const std::string& why) {
  return ns::Error(kStateErrorDomain, static_cast<int>(StateErrorCode::kDamagedFile),
                   {{std::string(ns::kLocalizedDescriptionKey),
                     "the state file " + path + " " + why + "; remove it to start with a fresh state"}});
}

ns::Result<nlohmann::json> StateFile::read() const {
  const ns::FileManager& files = ns::FileManager::defaultManager();
  if (!files.fileExistsAtPath(path_)) {
    return nlohmann::json();
  }
  ns::Result<ns::Data> contents = files.contentsAtPath(path_);
  if (!contents.ok()) {
    return damagedStateError(path_, "cannot be read (" + contents.error().localizedDescription() + ")");
  }
  nlohmann::json document = nlohmann::json::parse(contents->begin(), contents->end(), nullptr,
                                                  /*allow_exceptions=*/false);
  if (document.is_discarded()) {
    return damagedStateError(path_, "is not JSON");
  }
  return document;
}

void StateFile::saveOrWarn(const nlohmann::json& document) const {
  const ns::Status written = ns::FileManager::defaultManager().createFileAtPath(
      path_, ns::dataFromString(document.dump()), ns::WriteDurability::kSurvivesProcessCrash,
      ns::FileAccess::kOwnerOnly);
  if (!written.ok()) {
    std::cerr << "sample back end: cannot save " << path_ << ": " << written.error().localizedDescription()
              << "\n";
  }
}

}  // namespace sample_backend::state
