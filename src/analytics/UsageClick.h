#pragma once

// UsageClick: the front of the usage-analytics client, one per process. The application calls it twice at
// launch, in this order: setAppVersion() with the bundle's short version, then startWithAppkey().
//
// Starting keeps the application key in user defaults, so that the next start can tell whether it changed
// (a different key logs "WARNING: Appkey is different from the past." on standard error and is kept all the
// same); keeps the report policy and a non-empty channel; posts kUAGotAppkeyNotification; and, on the first
// start of the process, begins to follow the application's become-active, resign-active and terminate
// notifications. The session itself begins on a later turn of the main loop: the call returns at once.
// Resigning active or terminating ends the session; becoming active again begins a new one.
//
// Thread-safety: main thread only.

#include <cstdint>
#include <optional>
#include <string>

namespace analytics {

// Posted with no object by every start.
inline constexpr char kUAGotAppkeyNotification[] = "uaGotAppkeyNotification";

class UsageClick {
 public:
  // The user-defaults key under which the application key of the last start is kept.
  static constexpr char kAppKeyDefaultsKey[] = "UsageClickAppKey";

  // Sets the version that the client's records carry.
  static void setAppVersion(std::string version);
  // Starts the client as the header comment describes. REQUIRES: `appKey` is not empty.
  static void startWithAppkey(const std::string& appKey, std::uint64_t reportPolicy,
                              const std::string& channelId);

  // What the records carry: empty (or 0) until set.
  static const std::string& appVersion();
  static const std::string& appKey();
  static std::uint64_t reportPolicy();
  static const std::string& channelId();

  // The identifier of the session under way, or std::nullopt between sessions.
  static const std::optional<std::string>& currentSessionId();

  // Stops following the application and forgets everything held in memory, as a new process would start;
  // the key kept in user defaults stays.
  static void resetForTesting();
};

}  // namespace analytics
