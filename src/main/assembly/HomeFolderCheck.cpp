#include "main/assembly/HomeFolderCheck.h"

#include <cerrno>
#include <filesystem>
#include <optional>

#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/PosixError.h"

namespace assembly {

namespace {

constexpr char kProbeName[] = ".quillmark-write-check";

ns::Error unusableHome(const std::string& home, const std::string& why) {
  return ns::Error(
      kAssemblyErrorDomain, static_cast<int>(AssemblyErrorCode::kUnusableHome),
      {{std::string(ns::kLocalizedDescriptionKey), "the home folder " + home + " cannot be used: " + why}});
}

// Returns the deepest folder of `path` (itself or one above it) that exists.
std::string deepestExisting(const std::string& path) {
  std::filesystem::path existing = path;
  std::error_code ignored;
  while (existing.has_parent_path() && existing != existing.parent_path() &&
         !std::filesystem::exists(existing, ignored)) {
    existing = existing.parent_path();
  }
  return existing.string();
}

// Says why `path` could not be made, or a file made in it, as `error` tells.
std::string failureAt(const std::string& path, const ns::Error& error) {
  // "No such file or directory" for a folder that is there means a file system such as /proc, which takes
  // no new files: that is the reason to give.
  if (error.domain() == ns::kPOSIXErrorDomain && error.code() == ENOENT) {
    const std::string existing = deepestExisting(path);
    if (ns::FileManager::defaultManager().isDirectoryAtPath(existing)) {
      return "nothing can be made in " + existing + ": its file system takes no new files";
    }
  }
  return path + ": " + error.localizedDescription();
}

// Returns why nothing can be saved in `folder`, or std::nullopt when it can be used.
std::optional<std::string> whyUnusable(const std::string& folder) {
  const ns::FileManager& files = ns::FileManager::defaultManager();
  if (files.fileExistsAtPath(folder) && !files.isDirectoryAtPath(folder)) {
    return folder + " is a file, not a folder";
  }
  if (ns::Status created = files.createDirectoryAtPath(folder, ns::IntermediateDirectories::kYes);
      !created.ok()) {
    return failureAt(folder, created.error());
  }
  // Only a real write tells: permissions, a read-only mount and a pseudo file system all refuse it there.
  const std::string probe = folder + "/" + kProbeName;
  if (ns::Status written = files.createFileAtPath(probe, ns::dataFromString("quillmark"),
                                                  ns::WriteDurability::kSurvivesProcessCrash);
      !written.ok()) {
    return failureAt(folder, written.error());
  }
  if (ns::Status removed = files.removeItemAtPath(probe); !removed.ok()) {
    return failureAt(folder, removed.error());
  }
  return std::nullopt;
}

}  // namespace

void makeNewHomePrivate(const std::string& home) {
  std::error_code error;
  if (std::filesystem::exists(home, error) || error) {
    return;
  }
  // The home holds the session, the history of what was typed and downloaded lessons: its owner's only.
  if (std::filesystem::create_directories(home, error)) {
    std::filesystem::permissions(home, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace, error);
  }
}

ns::Status checkHomeFolder(const std::string& home, const std::vector<std::string>& folders) {
  if (std::optional<std::string> why = whyUnusable(home)) {
    // The home's own failures read better without its path twice.
    return unusableHome(home, why->starts_with(home + ": ") ? why->substr(home.size() + 2) : *why);
  }
  for (const std::string& folder : folders) {
    if (std::optional<std::string> why = whyUnusable(folder)) {
      return unusableHome(home, *why);
    }
  }
  return {};
}

}  // namespace assembly
