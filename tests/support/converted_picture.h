#pragma once

// testsupport::convertedPicture(): pictures in formats our own code does not write (TIFF, ICO), made by an
// independent tool, ImageMagick's convert, from PNG bytes. `scripts/install-deps all` installs it.
// Thread-safe: each call works in a scratch folder of its own.

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "platform/foundation/values/Data.h"
#include "support/tool_run.h"

namespace testsupport {

struct ConvertedPicture {
  // The bytes of the file convert wrote; empty when it failed.
  ns::Data bytes;
  // What convert said, for the failure message.
  std::string output;
};

// Runs `convert picture.png <options> picture.<extension>` on the PNG bytes `png` and reads the result.
inline ConvertedPicture convertedPicture(const ns::Data& png, const std::string& options,
                                         const std::string& extension) {
  static std::atomic<int> counter = 0;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("quillmark-convert-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(folder);
  const std::filesystem::path source = folder / "picture.png";
  const std::filesystem::path target = folder / ("picture." + extension);
  std::ofstream(source, std::ios::binary)
      .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  ConvertedPicture converted;
  const ToolRun run = runTool("convert '" + source.string() + "' " + options + " '" + target.string() + "'");
  converted.output = run.output;
  if (run.exitStatus == 0) {
    std::ifstream file(target, std::ios::binary);
    converted.bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return converted;
}

}  // namespace testsupport
