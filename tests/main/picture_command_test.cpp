// The terminal's picture command writes the picture a player shows to a PNG file: a person can look at the
// lesson. A player plays a sample lesson, served from a folder by the lesson server, in the key window.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "embedded_server/http/HTTPServer.h"
#include "learning/player/ZBPlayer.h"
#include "main/terminal/TerminalFrontEnd.h"
#include "platform/foundation/crypto/Hex.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/storage/sandbox_test_util.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Window.h"
#include "platform/uikit/controllers/ViewController.h"
#include "platform/uikit/drawing/Image.h"
#include "sample_backend/media/MediaLibrary.h"
#include "support/scoped_manual_clock.h"

namespace terminal {
namespace {

constexpr std::size_t kSegments = 3;

// Writes a lesson of the sample back end's media into `folder`: the playlist, its key and its segments.
void writeLesson(const std::string& folder) {
  const auto library =
      sample_backend::media::MediaLibrary::make({.segmentCount = kSegments, .segmentDuration = 1.0}).value();
  std::string playlist = "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXT-X-KEY:METHOD=AES-128,URI=\"K.bin\",IV=0x" +
                         ns::hexString(library->iv()) + "\n";
  const auto writeFile = [&](const std::string& name, const ns::Data& bytes) {
    std::ofstream(folder + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  };
  for (std::size_t index = 0; index < kSegments; ++index) {
    const std::string name = "seg" + std::to_string(index) + ".ts";
    writeFile(name, library->encryptedSegment(index));
    playlist += "#EXTINF:1.0,\n" + name + "\n";
  }
  writeFile("K.bin", library->key());
  writeFile("index.m3u8", ns::dataFromString(playlist + "#EXT-X-ENDLIST\n"));
}

// True when the picture's pixels are not all one colour.
bool hasDetail(const uikit::Image& image) {
  const std::vector<std::uint8_t>& pixels = image.rgbaPixels();
  for (std::size_t at = 4; at + 4 <= pixels.size(); at += 4) {
    if (!std::equal(pixels.begin(), pixels.begin() + 4, pixels.begin() + static_cast<std::ptrdiff_t>(at))) {
      return true;
    }
  }
  return false;
}

class PictureCommandTest : public ::testing::Test {
 protected:
  PictureCommandTest() {
    uikit::Application::sharedApplication().resetForTesting();
    auto root = std::make_shared<uikit::ViewController>();
    window_->setRootViewController(root);
    window_->makeKeyAndVisible();
    root->view()->addSubview(player_);
  }
  ~PictureCommandTest() override {
    player_->breakMedia();
    player_->removeFromSuperview();
    window_.reset();
    uikit::Application::sharedApplication().resetForTesting();
    ns::RunLoop::main().runPending();
  }

  ns::Status run(const std::string& line) {
    ns::Result<std::optional<TerminalCommand>> command = TerminalCommand::parse(line);
    EXPECT_TRUE(command.ok() && command->has_value()) << line;
    return frontEnd_.run(**command);
  }
  static bool runUntil(const std::function<bool()>& done) {
    return ns::RunLoop::main().runUntil(done, std::chrono::seconds(20));
  }
  // Moves the manual clock by `duration` in the player's ticks, letting what is due run after each.
  void playFor(ns::Duration duration) {
    for (ns::Duration played{}; played < duration; played += av::Player::kTick) {
      clock_.advance(av::Player::kTick);
      ns::RunLoop::main().runPending();
    }
  }

  ns::testutil::TemporarySandbox folder_;
  testsupport::ScopedManualClock clock_;
  std::shared_ptr<uikit::Window> window_ = std::make_shared<uikit::Window>();
  std::shared_ptr<learning::ZBPlayer> player_ =
      learning::ZBPlayer::playerWithFrame(uikit::Rect(0, 0, 375, 211));
  std::ostringstream out_;
  std::ostringstream errors_;
  TerminalFrontEnd frontEnd_{out_, errors_};
};

TEST(PictureCommandParseTest, TakesTheRestOfTheLineAsTheFileAndIsListedInHelp) {
  ns::Result<std::optional<TerminalCommand>> command =
      TerminalCommand::parse("picture lessons/第1课 now.png");
  ASSERT_TRUE(command.ok() && command->has_value());
  EXPECT_EQ((*command)->kind, TerminalCommand::Kind::kPicture);
  EXPECT_EQ((*command)->target, "lessons/第1课 now.png");
  EXPECT_FALSE(TerminalCommand::parse("picture").ok());
  EXPECT_NE(TerminalCommand::helpText().find("picture <FILE.png>"), std::string::npos);
}

TEST_F(PictureCommandTest, WritesThePlayingLessonsPictureWhichMovesAsPlayGoesOn) {
  const std::string first = folder_.path("first.png");
  ns::Status none = run("picture " + first);
  ASSERT_FALSE(none.ok());
  EXPECT_EQ(none.error().localizedDescription(),
            "There is no picture to write: no player on screen shows one yet.");

  const std::string lesson = folder_.path("lesson");
  std::filesystem::create_directory(lesson);
  writeLesson(lesson);
  embedded_server::HTTPServer server;
  server.setDocumentRoot(lesson);
  ASSERT_TRUE(server.start().ok());
  const std::string url = "http://127.0.0.1:" + std::to_string(server.listeningPort()) + "/index.m3u8";
  player_->playURL(*ns::URL::fromString(url), "第1课", 0);
  ASSERT_TRUE(runUntil([&] { return !player_->showLoading(); }));
  ASSERT_TRUE(runUntil([&] { return player_->progressBar()->bufferSec() == kSegments; }));
  playFor(av::Player::kTick);
  // The screen shows the player's controls and times as any screen's.
  ASSERT_TRUE(run("show").ok());
  EXPECT_NE(out_.str().find("label: 第1课"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("label: /00:00:03"), std::string::npos) << out_.str();

  ASSERT_TRUE(run("picture " + first).ok()) << errors_.str();
  EXPECT_NE(out_.str().find("Wrote the picture ("), std::string::npos);
  playFor(std::chrono::seconds(2));
  const std::string second = folder_.path("second.png");
  ASSERT_TRUE(run("picture " + second).ok());

  const auto before = uikit::Image::imageWithContentsOfFile(first);
  const auto after = uikit::Image::imageWithContentsOfFile(second);
  ASSERT_NE(before, nullptr);
  ASSERT_NE(after, nullptr);
  EXPECT_GT(before->pixelWidth(), 0);
  EXPECT_EQ(before->size(), after->size());
  EXPECT_TRUE(hasDetail(*before));
  EXPECT_TRUE(hasDetail(*after));
  EXPECT_NE(before->rgbaPixels(), after->rgbaPixels()) << "two seconds later the picture has moved";

  ns::Status nowhere = run("picture " + folder_.path("no-such-folder/x.png"));
  ASSERT_FALSE(nowhere.ok());
  EXPECT_NE(nowhere.error().localizedDescription().find("Could not write the picture to"), std::string::npos);
}

}  // namespace
}  // namespace terminal
