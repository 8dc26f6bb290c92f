// The back end's state folder: sessions and saved progress outlive a restart, and a damaged state file is
// an error that names it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "api_test_util.h"
#include "sample_backend/api/ApiService.h"

namespace sample_backend::api {
namespace {

using course::LastPlayed;
using course::LearningRecords;
using state::StateFile;

class BackendStateTest : public ::testing::Test {
 protected:
  ~BackendStateTest() override { std::filesystem::remove_all(folder_); }

  std::string path(const std::string& name) const { return folder_ + "/" + name; }

  const std::string folder_ =
      (std::filesystem::temp_directory_path() / ("quillmark-backend-state-" + std::to_string(::getpid())))
          .string();
};

TEST_F(BackendStateTest, SessionsAndSavedProgressOutliveARestart) {
  std::string sessionId;
  {
    ApiService service(testutil::defaultCatalogue());
    ASSERT_TRUE(service.keepStateIn(folder_ + "/state").ok());
    sessionId = service.sessions().openSession("1001");
    LearningRecords records;
    ASSERT_TRUE(records.keepIn(StateFile(path("records.json"))).ok());
    records.save("1001", "c1", LastPlayed{"n7", "s2", "2016.05.01 10:00"}, "125");
    records.sign("1001", "p1");
  }
  ApiService restarted(testutil::defaultCatalogue());
  ASSERT_TRUE(restarted.keepStateIn(folder_ + "/state").ok());
  EXPECT_EQ(restarted.sessions().lookup(sessionId).state, SessionRegistry::State::kLive);
  EXPECT_EQ(restarted.sessions().lookup(sessionId).userId, "1001");

  LearningRecords records;
  ASSERT_TRUE(records.keepIn(StateFile(path("records.json"))).ok());
  EXPECT_EQ(records.videoTime("1001", "c1", "n7"), "125");
  EXPECT_EQ(records.lastPlayed("1001", "c1")->stageId, "s2");
  EXPECT_TRUE(records.hasSigned("1001", "p1"));
}

TEST_F(BackendStateTest, ADamagedStateFileIsAnErrorThatNamesIt) {
  std::filesystem::create_directories(folder_);
  for (const char* contents : {"{\"learnerOfSession\": ", "[1, 2]", "{\"learnerOfSession\": {\"a\": 7}}"}) {
    std::ofstream(path("sessions.json"), std::ios::trunc) << contents;
    ApiService service(testutil::defaultCatalogue());
    const ns::Status kept = service.keepStateIn(folder_);
    ASSERT_FALSE(kept.ok()) << contents;
    EXPECT_NE(kept.error().localizedDescription().find(path("sessions.json")), std::string::npos)
        << kept.error().localizedDescription();
    EXPECT_NE(kept.error().localizedDescription().find("remove it"), std::string::npos);
  }
  std::ofstream(path("records.json")) << "{\"seeded\": true}";
  LearningRecords records;
  EXPECT_FALSE(records.keepIn(StateFile(path("records.json"))).ok());

  std::ofstream(path("a-file")) << "x";
  ApiService service(testutil::defaultCatalogue());
  EXPECT_FALSE(service.keepStateIn(path("a-file")).ok()) << "a file where the folder should be";
}

}  // namespace
}  // namespace sample_backend::api
