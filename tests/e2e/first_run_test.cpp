// A newcomer's first runs of the quillmark executable: a restart finds the learner still signed in (with the
// embedded back end and with the standalone one), a home where nothing can be saved stops the start, a
// waitfor that times out names the toast it missed, and --version answers. The standalone back end makes its
// lesson at the size it is given.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "e2e/quillmark_process_test_util.h"
#include "e2e/sample_backend_process_test_util.h"

namespace {

using e2e::ProcessRun;
using e2e::runQuillmark;

std::string scriptPath(const std::string& name) {
  return std::string(E2E_SCRIPTS_DIR) + "/" + name;
}

// Checks that the run of still_signed_in.qms found the learner signed in, with no forced-logout alert.
void expectStillSignedIn(const ProcessRun& run) {
  EXPECT_EQ(run.exitStatus, 0) << run.errors << run.out;
  EXPECT_EQ(run.out.find("[QMUserLogController]"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("alert:"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("[QMMenuController]"), std::string::npos) << run.out;
}

TEST(FirstRunTest, ARestartWithTheEmbeddedBackEndFindsTheLearnerStillSignedIn) {
  e2e::TemporaryFolder folder;
  const std::string home = folder.path("home");
  const ProcessRun signIn = runQuillmark({"--home", home, "--script", scriptPath("sign_in.qms")}, folder);
  ASSERT_EQ(signIn.exitStatus, 0) << signIn.errors << signIn.out;
  expectStillSignedIn(runQuillmark({"--home", home, "--script", scriptPath("still_signed_in.qms")}, folder));
}

TEST(FirstRunTest, TheStandaloneBackEndServesQuillmarkAndKeepsSessionsInItsStateFolder) {
  e2e::TemporaryFolder folder;
  const std::string home = folder.path("home");
  const std::string state = folder.path("backend-state");
  auto runAgainst = [&](const e2e::SampleBackendProcess& backend, const std::string& script) {
    return runQuillmark({"--home", home, "--web-host", backend.valueAfter("--web-host"), "--stats-server",
                         backend.valueAfter("--stats-server"), "--script", scriptPath(script)},
                        folder);
  };
  {
    e2e::SampleBackendProcess backend({"--state", state});
    EXPECT_NE(
        backend.printed().find("Sign in as the sample learner: name \"learner\", password \"quill2016\"."),
        std::string::npos)
        << backend.printed();
    const ProcessRun signIn = runAgainst(backend, "sign_in.qms");
    ASSERT_EQ(signIn.exitStatus, 0) << signIn.errors << signIn.out;
    EXPECT_EQ(backend.stop(), 0);
  }
  e2e::SampleBackendProcess restarted({"--state", state});
  expectStillSignedIn(runAgainst(restarted, "still_signed_in.qms"));
}

TEST(FirstRunTest, TheStandaloneBackEndKeepsItsLessonAtTheSizeItIsGivenInItsStateFolder) {
  e2e::TemporaryFolder folder;
  const std::string state = folder.path("backend-state");
  e2e::SampleBackendProcess backend({"--state", state, "--lesson-size", "96x54"});
  EXPECT_EQ(backend.stop(), 0);
  std::vector<std::string> kept;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(state + "/media-cache", error)) {
    kept.push_back(entry.path().filename().string());
  }
  ASSERT_EQ(kept.size(), 1u) << error.message();
  // Six segments of 250 frames: the lesson's minute at 25 frames a second.
  EXPECT_EQ(kept[0].rfind("lesson-96x54-25fps-6x250-", 0), 0u) << kept[0];
}

// The home, or a folder in it that the application writes into, where something cannot be saved; the
// message names the folder and the real reason.
TEST(FirstRunTest, AHomeWhereSomethingCannotBeSavedStopsTheStartWithStatusTwo) {
  e2e::TemporaryFolder folder;
  const std::string file = folder.path("a-file");
  std::ofstream(file) << "not a folder";
  const std::string documentsFile = folder.path("documents-file");
  std::filesystem::create_directory(documentsFile);
  std::ofstream(documentsFile + "/Documents") << "not a folder";
  for (const auto& [home, why] : std::vector<std::pair<std::string, std::string>>{
           {file, file + " is a file, not a folder"},
           {file + "/home", "Not a directory"},
           {documentsFile, documentsFile + "/Documents is a file, not a folder"},
           {"/proc", ""},
           {"/proc/quillmark-home", ""}}) {
    const ProcessRun run = runQuillmark({"--home", home, "--script", scriptPath("sign_in.qms")}, folder);
    EXPECT_EQ(run.exitStatus, 2) << home << ": " << run.errors << run.out;
    EXPECT_NE(run.errors.find("quillmark: the home folder " + home + " cannot be used: " + why),
              std::string::npos)
        << home << ": " << run.errors;
    EXPECT_EQ(run.errors.find("No such file or directory"), std::string::npos) << home << ": " << run.errors;
    EXPECT_EQ(run.out, "") << home << ": nothing launched";
  }
}

TEST(FirstRunTest, AWaitforThatTimesOutNamesTheToastShownWhileItWaited) {
  e2e::TemporaryFolder folder;
  const ProcessRun run =
      runQuillmark({"--home", folder.path("home"), "--script", scriptPath("wrong_password.qms")}, folder);
  EXPECT_EQ(run.exitStatus, 1) << run.errors << run.out;
  const std::size_t failure = run.errors.find(
      "wrong_password.qms:6: The text \"[QMSubjectController]\" did not appear in time. Shown meanwhile:\n");
  ASSERT_NE(failure, std::string::npos) << run.errors;
  EXPECT_NE(run.errors.find("  toast: ", failure), std::string::npos) << run.errors;
  EXPECT_NE(run.errors.find("Messages shown lately:\n", failure), std::string::npos) << run.errors;
}

TEST(FirstRunTest, BothProgramsPrintTheBundlesVersionAndNameTheRangeOfAPort) {
  e2e::TemporaryFolder folder;
  for (const auto& [program, name] : std::vector<std::pair<const char*, std::string>>{
           {QUILLMARK_EXECUTABLE, "quillmark "}, {SAMPLE_BACKEND_EXECUTABLE, "quillmark_sample_backend "}}) {
    const ProcessRun run = e2e::runProgram(program, {"--version"}, folder, std::chrono::seconds(60));
    EXPECT_EQ(run.exitStatus, 0) << run.errors;
    EXPECT_EQ(run.out.rfind(name, 0), 0u) << run.out;
    EXPECT_EQ(run.out.find("unknown"), std::string::npos) << run.out;
  }
  const ProcessRun badPort =
      e2e::runProgram(SAMPLE_BACKEND_EXECUTABLE, {"--port", "70000"}, folder, std::chrono::seconds(60));
  EXPECT_EQ(badPort.exitStatus, 2);
  EXPECT_NE(badPort.errors.find("--port: \"70000\" is not a port: give 1-65535"), std::string::npos)
      << badPort.errors;
  const ProcessRun schemeInFront = runQuillmark({"--stats-server", "http://127.0.0.1:5000"}, folder);
  EXPECT_EQ(schemeInFront.exitStatus, 2);
  EXPECT_NE(schemeInFront.errors.find("drop \"http://\" and write HOST:PORT"), std::string::npos)
      << schemeInFront.errors;
}

}  // namespace
