#include "app/store/ConsoleLog.h"

#include <cstdio>
#include <memory>

#include "platform/foundation/check/Mutex.h"

namespace app {

namespace {

using Destination = std::function<void(std::string_view line)>;

struct ConsoleState {
  ns::Mutex mutex;
  std::shared_ptr<const Destination> destination QM_GUARDED_BY(mutex);
};

ConsoleState& state() {
  static ConsoleState* const shared = new ConsoleState();  // never destroyed: lines may come while exiting
  return *shared;
}

}  // namespace

void consoleLog(std::string_view line) {
  std::shared_ptr<const Destination> destination;
  {
    ConsoleState& console = state();
    ns::MutexLock lock(console.mutex);
    destination = console.destination;
  }
  if (destination) {
    (*destination)(line);
    return;
  }
  std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

void consoleLogLines(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    consoleLog(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
}

void setConsoleDestination(std::function<void(std::string_view line)> destination) {
  ConsoleState& console = state();
  ns::MutexLock lock(console.mutex);
  console.destination = destination ? std::make_shared<const Destination>(std::move(destination)) : nullptr;
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
