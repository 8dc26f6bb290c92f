#pragma once

// Helpers of the multipart tests: a scratch folder, files of known bytes, and reading a body stream whole.

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/net/InputStream.h"

namespace http_client {

namespace multiparttest {

// A folder of its own for one test, removed with everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder()
      : path_(std::filesystem::temp_directory_path() /
              ("http-client-multipart-" + std::to_string(getpid()) + "-" + std::to_string(counter()++))) {
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Returns the path of `name` in the folder, after writing `contents` there.
  std::string file(const std::string& name, const std::string& contents) const {
    const std::string filePath = path(name);
    std::ofstream(filePath, std::ios::binary) << contents;
    return filePath;
  }
  std::string path(const std::string& name) const { return (path_ / name).string(); }

 private:
  static int& counter() {
    static int value = 0;
    return value;
  }
  std::filesystem::path path_;
};

// Opens `stream` and reads it to its end in reads of `chunk` bytes. Returns the bytes, and sets `failed`
// when a read returned -1.
inline std::string readWhole(ns::InputStream& stream, std::size_t chunk, bool* failed = nullptr) {
  stream.open();
  std::string bytes;
  std::vector<std::uint8_t> buffer(chunk);
  for (;;) {
    const std::ptrdiff_t count = stream.read(buffer.data(), buffer.size());
    if (count < 0 && failed != nullptr) {
      *failed = true;
    }
    if (count <= 0) {
      return bytes;
    }
    bytes.append(buffer.begin(), buffer.begin() + count);
  }
}

inline std::string fileContents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace multiparttest

}  // namespace http_client
