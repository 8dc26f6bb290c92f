#include "main/assembly/HomeFolderCheck.h"

#include "platform/foundation/storage/FileManager.h"

namespace assembly {

namespace {

constexpr char kProbeName[] = ".quillmark-write-check";

ns::Error unusableHome(const std::string& home, const ns::Error& why) {
  return ns::Error(kAssemblyErrorDomain, static_cast<int>(AssemblyErrorCode::kUnusableHome),
                   {{std::string(ns::kLocalizedDescriptionKey),
                     "the home folder " + home + " cannot be used: " + why.localizedDescription()}});
}

}  // namespace

ns::Status checkHomeFolder(const std::string& home) {
  const ns::FileManager& files = ns::FileManager::defaultManager();
  if (ns::Status created = files.createDirectoryAtPath(home, ns::IntermediateDirectories::kYes);
      !created.ok()) {
    return unusableHome(home, created.error());
  }
  // Only a real write tells: permissions, a read-only mount and a pseudo file system all refuse it there.
  const std::string probe = home + "/" + kProbeName;
  if (ns::Status written = files.createFileAtPath(probe, ns::dataFromString("quillmark"),
                                                  ns::WriteDurability::kSurvivesProcessCrash);
      !written.ok()) {
    return unusableHome(home, written.error());
  }
  if (ns::Status removed = files.removeItemAtPath(probe); !removed.ok()) {
    return unusableHome(home, removed.error());
  }
  return {};
}

}  // namespace assembly
