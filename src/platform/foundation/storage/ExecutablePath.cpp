#include "platform/foundation/storage/ExecutablePath.h"

#include <filesystem>
#include <system_error>

namespace ns {

std::string executablePath() {
  std::error_code error;
  std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

}  // namespace ns
