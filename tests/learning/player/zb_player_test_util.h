#pragma once

// PlayerTest: a ZBPlayer on screen (the key window's root view holds it) against the sample back end's
// lessons, played on the run loop's manual clock while the network stays real. Lessons last four seconds:
// four segments of one second. RecordingPlayerDelegate writes down what the player tells its owner.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "embedded_server/http/HTTPServer.h"
#include "learning/downloads/download_test_util.h"
#include "learning/player/ZBPlayer.h"
#include "learning/player/ZBPlayerDelegate.h"
#include "platform/uikit/app/Window.h"
#include "support/scoped_manual_clock.h"

namespace learning::playertest {

// Records every callback as a line: "didStop", "didStop <domain> <code>", "playAtEnded <0|1>",
// "navBack <url>", "last <url>", "next <url>"; keeps the errors, and the error tip shown at each stop.
class RecordingPlayerDelegate : public ZBPlayerDelegate {
 public:
  // The callbacks this delegate answers; by default all of them.
  std::vector<Callback> answered = {Callback::kDidStop, Callback::kOnClickedPlayAtEnded,
                                    Callback::kOnClickedNavBack, Callback::kOnClickedLast,
                                    Callback::kOnClickedNext};

  bool answers(Callback callback) const override;
  void playerDidStop(ZBPlayer& player, const std::optional<ns::Error>& error) override;
  void playerOnClickedPlayAtEnded(ZBPlayer& player, bool atEnded) override;
  void playerOnClickedNavBack(ZBPlayer& player, const std::optional<ns::URL>& url) override;
  void playerOnClickedLast(ZBPlayer& player, const std::optional<ns::URL>& url) override;
  void playerOnClickedNext(ZBPlayer& player, const std::optional<ns::URL>& url) override;

  // The number of playerDidStop() calls without an error.
  int ends() const;
  // The first error of `domain` that playerDidStop() brought, or nullopt.
  std::optional<ns::Error> errorOf(const std::string& domain) const;

  // Runs at each playerDidStop(), after it is written down: what an owner does then.
  std::function<void(ZBPlayer&)> whenStopped;

  std::vector<std::string> events;
  std::vector<ns::Error> errors;
  // The error tip's text at each playerDidStop().
  std::vector<std::string> tipsAtStop;
};

// Moves `clock` in steps of the player's tick, letting data arrive and pictures decode (real time) before
// each step, until `done`; at most `most` of clock time. Returns done().
bool playerPlayUntil(ZBPlayer& player, testsupport::ScopedManualClock& clock,
                     const std::function<bool()>& done, ns::Duration most);

class PlayerTest : public ::testing::Test {
 protected:
  static constexpr std::uint32_t kLessonSeconds = 4;

  PlayerTest();
  ~PlayerTest() override;

  // The signed online playlist URL of lesson `index` (0 to 2).
  ns::URL onlineURL(std::size_t index = 0);
  // Downloads lesson 0, serves its folder with server_ and returns the served playlist's URL; `change`
  // may first rewrite the folder (its path is given). Returns nullopt when a step failed.
  std::optional<ns::URL> offlineURL(const std::function<void(const std::string& folder)>& change = {});

  // Plays `url` from `fromSecond` and runs the loop until the player stops loading.
  ::testing::AssertionResult playUntilLoaded(const ns::URL& url, std::uint32_t fromSecond = 0);
  // Runs the loop (real time, for the network) until `done`, at most 20 s.
  static bool runUntil(const std::function<bool()>& done);
  // Moves the manual clock in steps of the player's tick, letting data arrive after each, until `done`;
  // at most `most` of clock time.
  bool playUntil(const std::function<bool()>& done, ns::Duration most = std::chrono::seconds(10));
  // Moves the manual clock by `by` in ticks, letting data arrive after each.
  void play(ns::Duration by);
  // Drags the bottom bar's knob to `second` and lifts the finger, as a person seeks.
  void dragTo(std::uint32_t second);
  // The player's media time in seconds.
  double mediaSeconds() const;
  // Lays the player out now, as the window's next pass would.
  void layOut();

  downloadtest::DownloadRoad road_{{.segmentCount = 4, .segmentDuration = 1.0}};
  testsupport::ScopedManualClock clock_;
  std::shared_ptr<uikit::Window> window_;
  std::shared_ptr<ZBPlayer> player_;
  std::shared_ptr<RecordingPlayerDelegate> delegate_ = std::make_shared<RecordingPlayerDelegate>();
  embedded_server::HTTPServer server_;
};

}  // namespace learning::playertest
