#include "app/store/ConsoleLog.h"

#include <cstdio>

namespace app {

void consoleLog(std::string_view line) {
  std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

std::string consoleTextOfError(const ns::Error& error) {
  std::string text = "Error Domain=" + error.domain() + " Code=" + std::to_string(error.code()) + " \"" +
                     error.localizedDescription() + "\"";
  if (error.underlyingError() != nullptr) {
    text += " UserInfo={NSUnderlyingError=" + consoleTextOfError(*error.underlyingError()) + "}";
  }
  return text;
}

}  // namespace app
