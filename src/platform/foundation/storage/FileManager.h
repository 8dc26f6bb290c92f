#pragma once

// ns::FileManager: files and folders on the local disk, as the application sees them through the platform's
// file manager. Paths are absolute or relative to the working directory, UTF-8. Failures are ns::Error
// values in the POSIX domain (PosixError.h) whose code is the errno value of the failed call, e.g. ENOENT
// for a missing item and EEXIST for a destination that is already there.
//
// Thread-safety: the manager holds no state; every method may be called from any thread.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Date.h"
#include "platform/foundation/values/Result.h"

namespace ns {

enum class FileType { kRegular, kDirectory, kOther };

struct FileAttributes {
  FileType type = FileType::kOther;
  // Size in bytes.
  std::uint64_t size = 0;
  Date modificationDate;
};

// How far createFileAtPath() takes a new file before it returns.
enum class WriteDurability {
  // The bytes and the rename reach the disk: the new file survives a power loss.
  kFlushedToDisk,
  // The bytes and the rename are handed to the system only: the new file survives the crash of the
  // process, whole or not at all, but a power loss may lose it. For data that can be fetched again.
  kSurvivesProcessCrash,
};

// Who may read a file createFileAtPath() makes.
enum class FileAccess {
  // Everyone may read it, as a plain file (0644).
  kEveryoneReads,
  // Only its owner may read or write it (0600): for a session, or a person's own data.
  kOwnerOnly,
};

// Whether createDirectoryAtPath() also creates the missing folders above the new one.
enum class IntermediateDirectories { kNo, kYes };

class FileManager {
 public:
  // Returns the process-wide manager.
  static FileManager& defaultManager();

  // True when an item (following symbolic links) exists at `path`.
  bool fileExistsAtPath(std::string_view path) const;
  // True when a directory (following symbolic links) exists at `path`.
  bool isDirectoryAtPath(std::string_view path) const;

  // Creates the directory `path`. With kYes, creates missing parents too and succeeds when the directory
  // already exists; with kNo, fails with EEXIST when anything is at `path` and ENOENT when the parent is
  // missing.
  Status createDirectoryAtPath(std::string_view path, IntermediateDirectories intermediates) const;

  // Removes the item at `path`, a directory with everything in it. Fails with ENOENT when nothing is there;
  // a failure part-way may leave part of a directory behind.
  Status removeItemAtPath(std::string_view path) const;

  // Moves (renames) the item at `from` to `to`. Fails with EEXIST when `to` exists (it is never replaced)
  // and with EXDEV when the two are on different file systems.
  Status moveItemAtPath(std::string_view from, std::string_view to) const;

  // Copies the item at `from`, a directory with everything in it, to `to`. Fails with EEXIST when `to`
  // exists.
  Status copyItemAtPath(std::string_view from, std::string_view to) const;

  // Returns the names (not paths) of the items directly in the directory `path`, "." and ".." left out, in
  // byte order. Fails with ENOENT or ENOTDIR.
  Result<std::vector<std::string>> contentsOfDirectoryAtPath(std::string_view path) const;

  // Returns the type, size and modification date of the item at `path` itself (a symbolic link is not
  // followed).
  Result<FileAttributes> attributesOfItemAtPath(std::string_view path) const;

  // Writes `contents` to a new or replaced file at `path`, atomically: the bytes go to a temporary file in
  // the same folder, reach the disk (as `durability` says), and are renamed over `path`, so a reader sees
  // the old file or the whole new one, never a part, even after a crash. On failure `path` is unchanged and
  // no temporary file stays. The new file's mode is what `access` says.
  // REQUIRES: the folder of `path` exists.
  Status createFileAtPath(std::string_view path, const Data& contents,
                          WriteDurability durability = WriteDurability::kFlushedToDisk,
                          FileAccess access = FileAccess::kEveryoneReads) const;

  // Returns the whole contents of the file at `path`.
  Result<Data> contentsAtPath(std::string_view path) const;
};

}  // namespace ns
