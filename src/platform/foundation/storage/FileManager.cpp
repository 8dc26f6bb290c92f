#include "platform/foundation/storage/FileManager.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/foundation/storage/PosixError.h"

namespace ns {

namespace {

namespace fs = std::filesystem;

Status failure(int errorNumber, std::string_view path) {
  return Status(posixError(errorNumber, path));
}

Status statusOf(const std::error_code& error, std::string_view path) {
  return error ? failure(error.value(), path) : Status();
}

bool itemExists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

// Closes the descriptor when the scope ends, whatever path leaves it.
class ScopedDescriptor {
 public:
  explicit ScopedDescriptor(int descriptor) : descriptor_(descriptor) {}
  ~ScopedDescriptor() {
    if (descriptor_ >= 0) {
      ::close(descriptor_);
    }
  }
  ScopedDescriptor(const ScopedDescriptor&) = delete;
  ScopedDescriptor& operator=(const ScopedDescriptor&) = delete;

  int get() const { return descriptor_; }
  // Closes now and reports the result, since a close can be the first to report a failed write.
  int close() {
    const int result = ::close(descriptor_);
    descriptor_ = -1;
    return result;
  }

 private:
  int descriptor_;
};

// Writes every byte, resuming after interruptions and short writes. Returns 0 or an errno value.
int writeAll(int descriptor, const Data& contents) {
  std::size_t written = 0;
  while (written < contents.size()) {
    const ssize_t result = ::write(descriptor, contents.data() + written, contents.size() - written);
    if (result < 0 && errno == EINTR) {
      continue;
    }
    if (result < 0) {
      return errno;
    }
    written += static_cast<std::size_t>(result);
  }
  return 0;
}

// Makes a finished rename durable by syncing the folder that holds the new name.
void syncDirectory(const std::string& directory) {
  ScopedDescriptor folder(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() >= 0) {
    ::fsync(folder.get());
  }
}

// Writes `contents` into the new temporary file `descriptor`, gives it the mode `access` says, and brings
// it to the disk when `durability` asks for it. Returns 0 or an errno value.
int fillTemporaryFile(ScopedDescriptor& descriptor, const Data& contents, WriteDurability durability,
                      FileAccess access) {
  if (const int error = writeAll(descriptor.get(), contents)) {
    return error;
  }
  const bool flush = durability == WriteDurability::kFlushedToDisk;
  const mode_t mode = access == FileAccess::kOwnerOnly ? 0600 : 0644;
  if (::fchmod(descriptor.get(), mode) != 0 || (flush && ::fsync(descriptor.get()) != 0) ||
      descriptor.close() != 0) {
    return errno;
  }
  return 0;
}

}  // namespace

FileManager& FileManager::defaultManager() {
  static FileManager manager;
  return manager;
}

bool FileManager::fileExistsAtPath(std::string_view path) const {
  struct stat info;
  return ::stat(std::string(path).c_str(), &info) == 0;
}

bool FileManager::isDirectoryAtPath(std::string_view path) const {
  struct stat info;
  return ::stat(std::string(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

Status FileManager::createDirectoryAtPath(std::string_view path,
                                          IntermediateDirectories intermediates) const {
  const std::string target(path);
  if (intermediates == IntermediateDirectories::kNo) {
    return ::mkdir(target.c_str(), 0755) == 0 ? Status() : failure(errno, path);
  }
  if (itemExists(target) && !isDirectoryAtPath(path)) {
    return failure(EEXIST, path);
  }
  std::error_code error;
  fs::create_directories(target, error);
  return statusOf(error, path);
}

Status FileManager::removeItemAtPath(std::string_view path) const {
  const std::string target(path);
  if (!itemExists(target)) {
    return failure(ENOENT, path);
  }
  std::error_code error;
  fs::remove_all(target, error);
  return statusOf(error, path);
}

Status FileManager::moveItemAtPath(std::string_view from, std::string_view to) const {
  const std::string source(from);
  const std::string destination(to);
  if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, destination.c_str(), RENAME_NOREPLACE) == 0) {
    return Status();
  }
  if (errno != EINVAL) {
    return failure(errno, from);
  }
  // File systems without no-replace renames answer EINVAL; check the destination first instead.
  if (itemExists(destination)) {
    return failure(EEXIST, to);
  }
  return ::rename(source.c_str(), destination.c_str()) == 0 ? Status() : failure(errno, from);
}

Status FileManager::copyItemAtPath(std::string_view from, std::string_view to) const {
  const std::string destination(to);
  if (itemExists(destination)) {
    return failure(EEXIST, to);
  }
  std::error_code error;
  fs::copy(std::string(from), destination, fs::copy_options::recursive | fs::copy_options::copy_symlinks,
           error);
  return statusOf(error, from);
}

Result<std::vector<std::string>> FileManager::contentsOfDirectoryAtPath(std::string_view path) const {
  std::error_code error;
  fs::directory_iterator entries(std::string(path), error);
  std::vector<std::string> names;
  for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
    names.push_back(entries->path().filename().string());
  }
  if (error) {
    return posixError(error.value(), path);
  }
  std::sort(names.begin(), names.end());
  return names;
}

Result<FileAttributes> FileManager::attributesOfItemAtPath(std::string_view path) const {
  struct stat info;
  if (::lstat(std::string(path).c_str(), &info) != 0) {
    return posixError(errno, path);
  }
  FileAttributes attributes;
  attributes.type = S_ISREG(info.st_mode)   ? FileType::kRegular
                    : S_ISDIR(info.st_mode) ? FileType::kDirectory
                                            : FileType::kOther;
  attributes.size = static_cast<std::uint64_t>(info.st_size);
  attributes.modificationDate =
      Date(static_cast<double>(info.st_mtim.tv_sec) + static_cast<double>(info.st_mtim.tv_nsec) / 1e9);
  return attributes;
}

Status FileManager::createFileAtPath(std::string_view path, const Data& contents, WriteDurability durability,
                                     FileAccess access) const {
  const fs::path target{std::string(path)};
  const std::string directory = target.has_parent_path() ? target.parent_path().string() : std::string(".");
  std::string temporaryName = ".";
  temporaryName += target.filename().string();
  temporaryName += ".XXXXXX";
  std::string temporaryPath = (fs::path(directory) / temporaryName).string();
  ScopedDescriptor descriptor(::mkostemp(temporaryPath.data(), O_CLOEXEC));
  if (descriptor.get() < 0) {
    return failure(errno, path);
  }
  int error = fillTemporaryFile(descriptor, contents, durability, access);
  if (error == 0 && ::rename(temporaryPath.c_str(), target.c_str()) != 0) {
    error = errno;
  }
  if (error != 0) {
    ::unlink(temporaryPath.c_str());
    return failure(error, path);
  }
  if (durability == WriteDurability::kFlushedToDisk) {
    syncDirectory(directory);
  }
  return Status();
}

Result<Data> FileManager::contentsAtPath(std::string_view path) const {
  ScopedDescriptor descriptor(::open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (descriptor.get() < 0) {
    return posixError(errno, path);
  }
  Data contents;
  std::uint8_t buffer[64 * 1024];
  for (;;) {
    const ssize_t result = ::read(descriptor.get(), buffer, sizeof buffer);
    if (result < 0 && errno == EINTR) {
      continue;
    }
    if (result < 0) {
      return posixError(errno, path);
    }
    if (result == 0) {
      return contents;
    }
    contents.insert(contents.end(), buffer, buffer + result);
  }
}

}  // namespace ns
