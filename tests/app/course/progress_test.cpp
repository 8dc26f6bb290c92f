// A subject's play position end to end: saved through the sample back end, fetched back, and offered with
// the next subject list; and the positions that are never sent.

#include <gtest/gtest.h>

#include "app/course/course_test_util.h"

namespace app {

namespace coursetest {
namespace {

class ProgressTest : public CourseDataModelTest {
 protected:
  // The English subject (102), with no position yet.
  std::shared_ptr<QMSubject> englishSubject() { return logInAndLoadSubjects()[1]; }
};

TEST_F(ProgressTest, ASavedPositionComesBackAndLeadsTheNextSubjectList) {
  app_.backend().controls().fixServerTime(1473000000);
  const std::shared_ptr<QMSubject> subject = englishSubject();
  ASSERT_EQ(subject->onClassID(), std::nullopt);
  subject->setOnClassID("102103");
  subject->setOnClassProgress("1234");
  ASSERT_EQ(callbacksOf([&] { model_->networkSaveVideoProgress(subject); }),
            Events{"networkSaveVideoProgressSuccess"});
  const apptest::Parameters saved = app_.sentParameters(QMCourseDataModel::kSaveProgressPath).at(0);
  EXPECT_EQ(saved.at("nodeId"), "102103");
  EXPECT_EQ(saved.at("courseId"), "102");
  EXPECT_EQ(saved.at("videoTime"), "1234");
  subject->setOnClassProgress(std::nullopt);
  ASSERT_EQ(callbacksOf([&] { model_->networkGetVideoProgress(subject); }),
            Events{"networkGetVideoProgressSuccess"});
  EXPECT_EQ(subject->onClassProgress(), "1234");
  // Logged in, the session id replaces the learner id the fetch puts under "sid".
  EXPECT_EQ(app_.sentParameters(QMCourseDataModel::kGetProgressPath)[0].at("sid"),
            QMUser::sharedInstance()->userSid());

  // The subject list now names the saved lesson, its stage and the server's time of the save.
  subject->setOnClassID(std::nullopt);
  callbacksOf([&] { model_->networkGetAllSubjectsWithSeason(nullptr); });
  EXPECT_EQ(subject->onClassID(), "102103");
  EXPECT_EQ(subject->onStageID(), "1021");
  EXPECT_EQ(subject->onClassTime(), "2016.09.04 14:40");
}

TEST_F(ProgressTest, OnlyAPositionThatReadsAsANumberAbove0IsSent) {
  const std::shared_ptr<QMSubject> subject = englishSubject();
  subject->setOnClassID("102103");
  for (const std::optional<std::string>& position :
       {std::optional<std::string>(), std::optional<std::string>("0"), std::optional<std::string>("-5"),
        std::optional<std::string>("abc"), std::optional<std::string>("")}) {
    subject->setOnClassProgress(position);
    model_->networkSaveVideoProgress(subject);
  }
  model_->networkSaveVideoProgress(nullptr);
  subject->setOnClassProgress("12.5");
  model_->networkSaveVideoProgress(subject);
  ASSERT_TRUE(waitForEvents());
  EXPECT_EQ(delegate_->events, Events{"networkSaveVideoProgressSuccess"});
  const auto saved = app_.sentParameters(QMCourseDataModel::kSaveProgressPath);
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].at("videoTime"), "12.5");
  EXPECT_TRUE(app_.toasts().empty());
}

TEST_F(ProgressTest, LoggedOutTheFetchSendsTheLearnerIdAndARefusalShowsNothing) {
  const std::shared_ptr<QMSubject> subject = englishSubject();
  subject->setOnClassID("102103");
  QMUser::sharedInstance()->setUserSid(std::nullopt);
  EXPECT_EQ(callbacksOf([&] { model_->networkGetVideoProgress(subject); }),
            Events{"networkGetVideoProgressFailed"});
  const std::vector<sample_backend::api::RecordedApiRequest> fetches =
      app_.backend().recordedRequests(QMCourseDataModel::kGetProgressPath);
  ASSERT_EQ(fetches.size(), 1u);
  EXPECT_EQ(fetches[0].request.parameter("sid"), "20160001");
  // The back end knows no such session; the learner is not logged in, so nothing is shown.
  EXPECT_EQ(fetches[0].code, 9708);
  EXPECT_TRUE(app_.toasts().empty());
  EXPECT_EQ(QMUser::sharedInstance()->userId(), "20160001");
}

}  // namespace
}  // namespace coursetest

}  // namespace app
