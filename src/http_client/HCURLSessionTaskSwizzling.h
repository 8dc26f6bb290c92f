#pragma once

// HCURLSessionTaskSwizzling: the start-up hook that makes every URL session task of the process announce its
// own resume and suspend. It is installed once, when the HTTP client is loaded, and lasts for the life of the
// process: from then on a resume that takes a task from suspended to running posts
// kHCNetworkingURLSessionTaskDidResumeNotification, and a suspend that takes it from running to suspended
// posts kHCNetworkingURLSessionTaskDidSuspendNotification, each on the calling thread with the task as
// object. A task that has finished (or is being cancelled) announces nothing.
//
// Thread-safety: install() may be called from any thread.

namespace http_client {

inline constexpr char kHCNetworkingURLSessionTaskDidResumeNotification[] =
    "com.httpclient.networking.nsurlsessiontask.resume";
inline constexpr char kHCNetworkingURLSessionTaskDidSuspendNotification[] =
    "com.httpclient.networking.nsurlsessiontask.suspend";

class HCURLSessionTaskSwizzling {
 public:
  // Installs the hook; later calls do nothing.
  static void install();
};

}  // namespace http_client
