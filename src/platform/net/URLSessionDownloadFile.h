#pragma once

// ns::URLSessionDownloadFile: the temporary file a download task writes its body into, made in the app's
// temporary folder under a name of its own. The file is removed when the object goes, unless it was moved
// away by then.
// Thread-safety: one thread at a time.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/foundation/values/Result.h"

namespace ns {

class URLSessionDownloadFile {
 public:
  // Returns a new empty file, or the error of making it.
  static Result<std::unique_ptr<URLSessionDownloadFile>> create();
  // Returns the file at `path` (what an earlier download stored) opened to append to, or the error of
  // opening it. It is removed when the object goes, as a new one is.
  static Result<std::unique_ptr<URLSessionDownloadFile>> continuing(const std::string& path);
  ~URLSessionDownloadFile();
  URLSessionDownloadFile(const URLSessionDownloadFile&) = delete;
  URLSessionDownloadFile& operator=(const URLSessionDownloadFile&) = delete;

  const std::string& path() const { return path_; }
  // Appends all of `bytes`; returns the error of a write that failed or fell short.
  Status append(const std::uint8_t* bytes, std::size_t length);
  // Closes the file, so that it can be handed over whole; returns the error of closing.
  Status close();
  // Leaves the file in place when the object goes (a download may be resumed from it). REQUIRES: closed.
  void keep() { kept_ = true; }

 private:
  URLSessionDownloadFile(std::string path, int descriptor);

  const std::string path_;
  int descriptor_;  // -1 once closed
  bool kept_ = false;
};

}  // namespace ns
