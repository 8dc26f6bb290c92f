// The road of quit after a termination signal, as the executable takes it: the front end stops waiting,
// destroying the assembly terminates the application, which saves the store, and a restart finds the play
// position recorded before the signal. The run's console lines are in the home's console log.

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>

#include "app/session/QMUser.h"
#include "app/store/ConsoleLog.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMSubject.h"
#include "main/assembly/ApplicationAssembly.h"
#include "main/terminal/TerminalFrontEnd.h"
#include "main/terminal/TerminationSignals.h"
#include "platform/foundation/formats/JSONSerialization.h"
#include "platform/foundation/loop/Timer.h"
#include "platform/foundation/storage/sandbox_test_util.h"
#include "support/process_reset.h"

namespace terminal {

namespace {

std::shared_ptr<app::QMSubject> storedSubject() {
  const auto subjects =
      app::QMCoreDataHelper::sharedInstance().fetchEntitiesOf<app::QMSubject>(cd::Predicate::allOf({}));
  return subjects.empty() ? nullptr : subjects.front();
}

TEST(SessionEndTest, ASignalTakesTheRoadOfQuitAndTheStoreKeepsWhatWasRecordedBeforeIt) {
  const ns::testutil::TemporarySandbox sandbox;
  testsupport::resetForTesting();
  {
    const TerminationSignals signals;
    // A back end that never answers: the session needs none.
    ns::Result<std::unique_ptr<assembly::ApplicationAssembly>> launched =
        assembly::ApplicationAssembly::launch(
            {sandbox.home(), HostAndPort{"127.0.0.1", 9}, std::nullopt, outside::ReachableViaWiFi, false});
    ASSERT_TRUE(launched.ok()) << launched.error().localizedDescription();
    app::QMUser::sharedInstance()->setUserId("20160001");
    const std::shared_ptr<app::QMSubject> subject =
        app::QMCoreDataHelper::sharedInstance().createSubjectWithDic(
            *ns::JSONSerialization::JSONObjectWithData(R"({"courseId": "S1", "id": "1", "name": "数学"})"));
    ASSERT_NE(subject, nullptr);
    subject->setOnClassProgress("321");
    app::consoleLog("a console line, away from the screen");

    std::ostringstream out;
    std::ostringstream errors;
    TerminalFrontEnd frontEnd(out, errors);
    const auto signal = ns::Timer::scheduled(ns::RunLoop::main(), std::chrono::milliseconds(20),
                                             ns::Timer::Repeats::kNo, [](ns::Timer&) { std::raise(SIGINT); });
    std::istringstream script("wait 60\n");
    EXPECT_EQ(frontEnd.runScript(script, "walk.qms"), TerminalFrontEnd::kExitSuccess);
    EXPECT_TRUE(out.str().ends_with("> wait 60\n")) << out.str();
    EXPECT_EQ(TerminationSignals::received(), SIGINT);
    EXPECT_EQ(TerminationSignals::exitStatus(SIGINT), 130);
    launched->reset();
  }
  testsupport::resetForTesting();
  ns::Sandbox::setHomeDirectory(sandbox.home());
  const std::shared_ptr<app::QMSubject> restarted = storedSubject();
  ASSERT_NE(restarted, nullptr);
  EXPECT_EQ(restarted->onClassProgress(), "321");
  std::ifstream console(sandbox.path("console.log"));
  std::stringstream lines;
  lines << console.rdbuf();
  EXPECT_NE(lines.str().find("a console line, away from the screen\n"), std::string::npos) << lines.str();
  testsupport::resetForTesting();
}

}  // namespace

}  // namespace terminal
