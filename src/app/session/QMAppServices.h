#pragma once

// QMAppServices: what the session and the request layer need of the application as a whole, reached
// without knowing the layers that provide it:
// - the process's reachability monitor (the application delegate's `myReachable`), made on first ask so
//   that it exists before any request can ask about the network; the launch sequence starts its notifier;
// - pausing every download, which the download manager installs;
// - rebuilding the root screen, which the application delegate installs.
// Until a service is installed, asking for it does nothing.
//
// Thread-safety: main thread only.

#include <functional>
#include <memory>

#include "platform/outside/Reachability.h"

namespace app {

class QMAppServices {
 public:
  // Returns the process's monitor of internet reachability, made (not started) on the first call.
  static const std::shared_ptr<outside::Reachability>& myReachable();

  static void setDownloadPauser(std::function<void()> pauseAllDownloads);
  static void setRootRebuilder(std::function<void()> reloadRootController);

  // Pauses every download through the installed download manager.
  static void pauseAllDownloads();
  // Rebuilds the root screen through the installed application delegate.
  static void reloadRootController();

  // Forgets the monitor and the installed services, as a new process would start.
  static void resetForTesting();
};

}  // namespace app
