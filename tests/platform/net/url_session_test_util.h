#pragma once

// URL session test helpers: a session delegate that records every call it gets on the delegate queue and can
// be told how to answer the decisions, and waiting for what it recorded on the main loop with a deadline.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/net/URLSession.h"

namespace nettest {

class RecordingSessionDelegate : public ns::URLSessionDelegate {
 public:
  // Decisions answered, with the answer.
  std::function<ns::URLAuthenticationChallengeAnswer(const ns::URLAuthenticationChallenge&)> onChallenge;
  std::function<std::optional<ns::URLRequest>(ns::URLRequest)> onRedirect;
  std::function<std::shared_ptr<ns::InputStream>()> onNeedNewBodyStream;
  std::function<ns::URLSessionResponseDisposition(ns::URLSessionTask&)> onResponse;
  // Called on the delegate queue after each recorded event.
  std::function<void(ns::URLSessionTask&, const std::string& event)> onEvent;

  bool answers(Callback callback) const override {
    switch (callback) {
      case Callback::kTaskDidReceiveChallenge:
        return static_cast<bool>(onChallenge);
      case Callback::kWillPerformHTTPRedirection:
        return static_cast<bool>(onRedirect);
      case Callback::kNeedNewBodyStream:
        return static_cast<bool>(onNeedNewBodyStream);
      case Callback::kDidReceiveResponse:
        return static_cast<bool>(onResponse);
      case Callback::kDidReceiveChallenge:
      case Callback::kWillCacheResponse:
        break;
    }
    return false;
  }

  ns::URLAuthenticationChallengeAnswer taskDidReceiveChallenge(
      ns::URLSession&, ns::URLSessionTask& task, const ns::URLAuthenticationChallenge& challenge) override {
    const ns::URLAuthenticationChallengeAnswer answer = onChallenge(challenge);
    record(task, "challenge " + std::string(challenge.protectionSpace.authenticationMethod) + " " +
                     std::to_string(challenge.previousFailureCount));
    return answer;
  }
  std::optional<ns::URLRequest> willPerformHTTPRedirection(ns::URLSession&, ns::URLSessionTask& task,
                                                           const ns::HTTPURLResponse&,
                                                           ns::URLRequest proposed) override {
    const std::string target = proposed.url()->path();
    std::optional<ns::URLRequest> decided = onRedirect(std::move(proposed));
    record(task, "redirect " + target);
    return decided;
  }
  std::shared_ptr<ns::InputStream> needNewBodyStream(ns::URLSession&, ns::URLSessionTask& task) override {
    record(task, "new body stream");
    return onNeedNewBodyStream();
  }
  void didSendBodyData(ns::URLSession&, ns::URLSessionTask& task, std::int64_t sent, std::int64_t totalSent,
                       std::int64_t totalExpected) override {
    {
      ns::MutexLock lock(mutex_);
      // A body sent again (with a credential) counts from the start.
      EXPECT_TRUE(totalSent == sent_[task.taskIdentifier()] + sent || totalSent == sent)
          << "upload progress that does not add up";
      sent_[task.taskIdentifier()] = totalSent;
      expectedToSend_[task.taskIdentifier()] = totalExpected;
    }
    recordOnce(task, "send");
  }
  ns::URLSessionResponseDisposition didReceiveResponse(
      ns::URLSession&, ns::URLSessionTask& task, const std::shared_ptr<const ns::URLResponse>&) override {
    const ns::URLSessionResponseDisposition disposition = onResponse(task);
    record(task, "response");
    return disposition;
  }
  void didReceiveData(ns::URLSession&, ns::URLSessionTask& task, const ns::Data& data) override {
    {
      ns::MutexLock lock(mutex_);
      bodies_[task.taskIdentifier()].append(data.begin(), data.end());
    }
    recordOnce(task, "data");
  }
  void didWriteData(ns::URLSession&, ns::URLSessionTask& task, std::int64_t written,
                    std::int64_t totalWritten, std::int64_t) override {
    {
      ns::MutexLock lock(mutex_);
      EXPECT_EQ(totalWritten, written_[task.taskIdentifier()] + written);
      written_[task.taskIdentifier()] = totalWritten;
    }
    recordOnce(task, "write");
  }
  void didFinishDownloadingToPath(ns::URLSession&, ns::URLSessionTask& task,
                                  const std::string& location) override {
    const ns::Result<ns::Data> contents = ns::FileManager::defaultManager().contentsAtPath(location);
    {
      ns::MutexLock lock(mutex_);
      downloadPaths_[task.taskIdentifier()] = location;
      bodies_[task.taskIdentifier()] = contents ? ns::stringFromData(*contents) : "(unreadable)";
    }
    record(task, "downloaded");
  }
  void didCompleteWithError(ns::URLSession&, ns::URLSessionTask& task,
                            const std::optional<ns::Error>& error) override {
    record(task, error ? "complete " + std::to_string(error->code()) : "complete");
  }
  void didBecomeInvalidWithError(ns::URLSession&, const std::optional<ns::Error>&) override {
    ns::MutexLock lock(mutex_);
    ++invalidations_;
    ns::RunLoop::main().post([] {});
  }

  // The events of `task` so far, consecutive "send", "data" and "write" events counted once.
  std::vector<std::string> events(const ns::URLSessionTask& task) const {
    ns::MutexLock lock(mutex_);
    const auto found = events_.find(task.taskIdentifier());
    return found == events_.end() ? std::vector<std::string>{} : found->second;
  }
  std::string body(const ns::URLSessionTask& task) const {
    ns::MutexLock lock(mutex_);
    const auto found = bodies_.find(task.taskIdentifier());
    return found == bodies_.end() ? std::string() : found->second;
  }
  std::int64_t bytesSent(const ns::URLSessionTask& task) const {
    ns::MutexLock lock(mutex_);
    const auto found = sent_.find(task.taskIdentifier());
    return found == sent_.end() ? 0 : found->second;
  }
  std::int64_t expectedToSend(const ns::URLSessionTask& task) const {
    ns::MutexLock lock(mutex_);
    const auto found = expectedToSend_.find(task.taskIdentifier());
    return found == expectedToSend_.end() ? 0 : found->second;
  }
  std::string downloadPath(const ns::URLSessionTask& task) const {
    ns::MutexLock lock(mutex_);
    const auto found = downloadPaths_.find(task.taskIdentifier());
    return found == downloadPaths_.end() ? std::string() : found->second;
  }
  int invalidations() const {
    ns::MutexLock lock(mutex_);
    return invalidations_;
  }

  // Runs the main loop until `task` completed in the delegate's eyes; returns whether it did in time.
  bool waitForCompletion(const ns::URLSessionTask& task) const {
    return ns::RunLoop::main().runUntil(
        [&] {
          const std::vector<std::string> seen = events(task);
          return !seen.empty() && seen.back().starts_with("complete");
        },
        std::chrono::seconds(20));
  }

 private:
  void record(ns::URLSessionTask& task, const std::string& event) {
    {
      ns::MutexLock lock(mutex_);
      events_[task.taskIdentifier()].push_back(event);
    }
    if (onEvent) {
      onEvent(task, event);
    }
    ns::RunLoop::main().post([] {});
  }
  void recordOnce(ns::URLSessionTask& task, const std::string& event) {
    bool repeated = false;
    {
      ns::MutexLock lock(mutex_);
      const std::vector<std::string>& seen = events_[task.taskIdentifier()];
      repeated = !seen.empty() && seen.back() == event;
    }
    if (!repeated) {
      record(task, event);
    } else if (onEvent) {
      onEvent(task, event);
    }
  }

  mutable ns::Mutex mutex_;
  std::map<std::uint64_t, std::vector<std::string>> events_ QM_GUARDED_BY(mutex_);
  std::map<std::uint64_t, std::string> bodies_ QM_GUARDED_BY(mutex_);
  std::map<std::uint64_t, std::int64_t> sent_ QM_GUARDED_BY(mutex_);
  std::map<std::uint64_t, std::int64_t> expectedToSend_ QM_GUARDED_BY(mutex_);
  std::map<std::uint64_t, std::int64_t> written_ QM_GUARDED_BY(mutex_);
  std::map<std::uint64_t, std::string> downloadPaths_ QM_GUARDED_BY(mutex_);
  int invalidations_ QM_GUARDED_BY(mutex_) = 0;
};

}  // namespace nettest
