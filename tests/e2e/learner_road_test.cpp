// The learner's road through the quillmark executable with its embedded back end: sign in, the subject screen
// with the summary and the subjects, a stage, a lesson played online (its picture written), lessons picked
// and downloaded, the network gone, the download area opened from the menu, the stage's cache screen, a
// downloaded lesson played offline, back with the position saved and sent, and sign out.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "e2e/quillmark_process_test_util.h"
#include "platform/uikit/drawing/Image.h"

namespace {

using e2e::occurrences;
using e2e::ProcessRun;
using e2e::runQuillmark;

// True when the PNG file at `path` holds a picture whose pixels are not all one colour.
bool isPictureWithContent(const std::string& path) {
  const std::string bytes = e2e::readFile(path);
  const auto image = uikit::Image::imageWithData(ns::Data(bytes.begin(), bytes.end()));
  if (!image) {
    return false;
  }
  const std::vector<std::uint8_t>& pixels = image->rgbaPixels();
  for (std::size_t at = 4; at + 4 <= pixels.size(); at += 4) {
    if (!std::equal(pixels.begin(), pixels.begin() + 4, pixels.begin() + static_cast<std::ptrdiff_t>(at))) {
      return true;
    }
  }
  return false;
}

// Returns the position of `text` in `out` at or after `from`, or std::string::npos.
std::size_t after(const std::string& out, const std::string& text, std::size_t from) {
  return from == std::string::npos ? std::string::npos : out.find(text, from);
}

TEST(LearnerRoadTest, SignInPlayOnlineDownloadPlayOfflineGoBackAndSignOut) {
  e2e::TemporaryFolder folder;
  const std::string home = folder.path("home");
  // The script's pictures go to the test's folder.
  std::string script = e2e::readFile(std::string(E2E_SCRIPTS_DIR) + "/learner_road.qms");
  for (const std::string name : {"online.png", "offline.png"}) {
    const std::size_t at = script.find("picture " + name);
    ASSERT_NE(at, std::string::npos) << name;
    script.replace(at, 8 + name.size(), "picture " + folder.path(name));
  }
  const std::string scriptPath = folder.path("learner_road.qms");
  std::ofstream(scriptPath) << script;
  const ProcessRun run =
      runQuillmark({"--home", home, "--script", scriptPath}, folder, std::chrono::seconds(180));
  ASSERT_EQ(run.exitStatus, 0) << run.errors << run.out;

  // The screens in the order of the road.
  std::size_t at = after(run.out, "[QMSubjectController]", 0);
  at = after(run.out, "label dayLabel: 98", at);
  at = after(run.out, "思想政治理论", at);
  at = after(run.out, "[QMListenController]", at);
  at = after(run.out, "Wrote the picture", at);
  at = after(run.out, "[QMDLBeginController]", at);
  at = after(run.out, "> tap 下载专区\n[QMDLSubjectController]", at);
  at = after(run.out, "> network none", at);
  at = after(run.out, "[QMCacheManageController]\ntitle: 基础阶段\nbutton cachedBtn: [已缓存(2)]", at);
  at = after(run.out, "[ZBPlayerViewController]", at);
  at = after(run.out, "Wrote the picture", at);
  at = after(run.out, "[QMUserLogController]", at);
  EXPECT_NE(at, std::string::npos) << run.out;
  EXPECT_TRUE(isPictureWithContent(folder.path("online.png")));
  EXPECT_TRUE(isPictureWithContent(folder.path("offline.png")));
  // Offline play from the cache screen asks nothing of the back end, so no request tells of the lost network.
  const std::size_t offlinePlay = run.out.find("> tap 物质与意识");
  const std::size_t linkBack = run.out.find("> network wifi", offlinePlay);
  ASSERT_NE(linkBack, std::string::npos) << run.out;
  EXPECT_EQ(run.out.substr(offlinePlay, linkBack - offlinePlay).find("暂无网络,请检查网络"),
            std::string::npos);

  // The two taps on the picture: one screen shows the controls (the top bar's back button), the other not.
  const std::size_t firstTap = run.out.find("> tap playerTouch\n");
  const std::size_t secondTap = run.out.find("> tap playerTouch\n", firstTap + 1);
  ASSERT_NE(secondTap, std::string::npos) << run.out;
  const bool firstShows =
      run.out.substr(firstTap, secondTap - firstTap).find("button backBtn") != std::string::npos;
  const bool secondShows =
      run.out.substr(secondTap, linkBack - secondTap).find("button backBtn") != std::string::npos;
  EXPECT_NE(firstShows, secondShows) << run.out;
  // The players' console lines stay in the console log: each new player's banner, and the missing sound
  // device, which the terminal says once a run.
  const std::string console = e2e::readFile(home + "/console.log");
  EXPECT_EQ(run.out.find("ZBVideoPlayer"), std::string::npos) << run.out;
  EXPECT_GE(occurrences(console, "== ZBVideoPlayer - Portrait & Landscape =="), 2u);
  const std::size_t missingDevice = occurrences(console, "no sound device");
  EXPECT_EQ(occurrences(run.errors, "no sound device"), missingDevice > 0 ? 1u : 0u) << run.errors;
  // The offline lesson's position reached the back end.
  EXPECT_NE(
      e2e::readFile(home + "/sample-backend/learning_records.json").find(R"(["20160001","101","101104"])"),
      std::string::npos);
}

}  // namespace
