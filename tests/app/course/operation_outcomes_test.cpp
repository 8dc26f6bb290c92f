// Every course operation against the sample back end: a refusal, a transport failure and a missing network
// each end as the operation promises. What a success stores is tested operation by operation beside this.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/course/course_test_util.h"
#include "learning/live/QMLiveModel.h"
#include "platform/outside/SimulatedNetwork.h"

namespace coursetest {
namespace {

// The objects an operation is started with.
struct Arguments {
  std::shared_ptr<QMSubject> subject;
  std::shared_ptr<QMStage> stage;
  std::shared_ptr<QMLiveGroupModel> group;
  std::shared_ptr<QMLiveModel> live;
};

enum class NetworkCheck { kAsksFirst, kSendsAnyway };
enum class RefusalText { kShown, kQuiet };

struct Operation {
  std::string name;
  std::string_view path;
  // The callbacks are this name followed by "Success" or "Failed".
  std::string event;
  NetworkCheck networkCheck;
  RefusalText refusalText;
  std::function<void(QMCourseDataModel&, const Arguments&)> start;
};

std::ostream& operator<<(std::ostream& out, const Operation& operation) {
  return out << operation.name;
}

const std::vector<Operation>& operations() {
  static const std::vector<Operation> kOperations = {
      {"AllSubjects", QMCourseDataModel::kAllSubjectsPath, "networkGetAllSubjects",
       NetworkCheck::kSendsAnyway, RefusalText::kShown,
       [](QMCourseDataModel& model, const Arguments&) { model.networkGetAllSubjectsWithSeason(nullptr); }},
      {"LiveCourse", QMCourseDataModel::kLiveCoursePath, "networkGetLiveCourse", NetworkCheck::kSendsAnyway,
       RefusalText::kShown,
       [](QMCourseDataModel& model, const Arguments&) { model.networkGetLiveCourseWithSeason(nullptr, 1); }},
      {"LiveParam", QMCourseDataModel::kLiveParamPath, "networkGetLiveParam", NetworkCheck::kSendsAnyway,
       RefusalText::kShown,
       [](QMCourseDataModel& model, const Arguments& arguments) {
         model.networkGetLiveParamWith(arguments.live);
       }},
      {"UserProtocolStatus", QMCourseDataModel::kUserProtocolStatusPath, "networkGetUserProtocolStatus",
       NetworkCheck::kSendsAnyway, RefusalText::kShown,
       [](QMCourseDataModel& model, const Arguments&) { model.networkGetUserProtocolStatus(); }},
      {"SignUserProtocol", QMCourseDataModel::kSignUserProtocolPath, "networkSignProtocol",
       NetworkCheck::kAsksFirst, RefusalText::kShown,
       [](QMCourseDataModel& model, const Arguments&) {
         model.networkSignUserProtocolWithRealName("林知远", "110108199003072513");
       }},
      {"CourseTree", QMCourseDataModel::kCourseTreePath, "networkGetCourseTree", NetworkCheck::kAsksFirst,
       RefusalText::kShown,
       [](QMCourseDataModel& model, const Arguments& arguments) {
         model.networkGetCourseTreeWithStage(arguments.stage);
       }},
      {"ServerTime", QMCourseDataModel::kServerTimePath, "networkGetServerTime", NetworkCheck::kSendsAnyway,
       RefusalText::kShown, [](QMCourseDataModel& model, const Arguments&) { model.networkGetServerTime(); }},
      {"SaveVideoProgress", QMCourseDataModel::kSaveProgressPath, "networkSaveVideoProgress",
       NetworkCheck::kAsksFirst, RefusalText::kShown,
       [](QMCourseDataModel& model, const Arguments& arguments) {
         model.networkSaveVideoProgress(arguments.subject);
       }},
      {"GetVideoProgress", QMCourseDataModel::kGetProgressPath, "networkGetVideoProgress",
       NetworkCheck::kAsksFirst, RefusalText::kQuiet,
       [](QMCourseDataModel& model, const Arguments& arguments) {
         model.networkGetVideoProgress(arguments.subject);
       }},
  };
  return kOperations;
}

class CourseOperationTest : public CourseDataModelTest, public ::testing::WithParamInterface<Operation> {
 protected:
  // Readies the arguments without a request: subject 101 stored as the subject list gives it, with a
  // position to save, its first stage, and a live lesson of the catalogue.
  Arguments prepare() {
    if (!QMUser::sharedInstance()->userId()) {
      QMUser::sharedInstance()->setUserId("20160001");
    }
    Arguments arguments;
    arguments.subject = QMCoreDataHelper::sharedInstance().createSubjectWithDic(ns::Value(ns::Dictionary{
        {"courseId", ns::Value(101)},
        {"stageList", ns::Value(ns::Array{ns::Value(ns::Dictionary{{"nodeId", ns::Value(1011)}})})},
    }));
    arguments.subject->setOnClassID("101104");
    arguments.subject->setOnClassProgress("42");
    arguments.stage = arguments.subject->sortedStageArray().front();
    arguments.group = QMLiveGroupModel::initWithServerData(ns::Value(ns::Dictionary{
        {"consumerType", ns::Value("1")},
        {"lives", ns::Value(ns::Array{ns::Value(ns::Dictionary{{"liveId", ns::Value("90013")}})})}}));
    arguments.live = arguments.group->groupLives().front();
    return arguments;
  }

  // A session id that the back end never checks: the refused and cut requests below are answered before
  // the checks run. It also keeps the failing request the first one to this back end, on a fresh
  // connection: the HTTP client retries a request once when a kept-alive connection dies under it.
  void holdUncheckedSession() { QMUser::sharedInstance()->setUserSid("unchecked"); }
};

TEST_P(CourseOperationTest, ARefusalEndsInFailedWithTheClientsOwnText) {
  const Operation& operation = GetParam();
  holdUncheckedSession();
  const Arguments arguments = prepare();
  app_.backend().controls().refuseNextRequest(std::string(operation.path), 9999);
  operation.start(*model_, arguments);
  ASSERT_TRUE(waitForEvents());
  EXPECT_EQ(delegate_->events, std::vector<std::string>{operation.event + "Failed"});
  EXPECT_EQ(app_.toasts(), operation.refusalText == RefusalText::kShown
                               ? std::vector<std::string>{"系统内部错误"}
                               : std::vector<std::string>{});
  EXPECT_FALSE(loadingIndicatorShown());
}

TEST_P(CourseOperationTest, ATransportFailureEndsInFailedWithoutAToast) {
  const Operation& operation = GetParam();
  holdUncheckedSession();
  const Arguments arguments = prepare();
  app_.backend().controls().cutNextConnection(std::string(operation.path));
  operation.start(*model_, arguments);
  ASSERT_TRUE(waitForEvents());
  EXPECT_EQ(delegate_->events, std::vector<std::string>{operation.event + "Failed"});
  EXPECT_TRUE(app_.toasts().empty());
  EXPECT_FALSE(loadingIndicatorShown());
  EXPECT_EQ(app_.backend().recordedRequests(operation.path).size(), 1u);
}

TEST_P(CourseOperationTest, WithoutANetworkOnlyTheOperationsThatAskFirstHoldBack) {
  const Operation& operation = GetParam();
  logIn();
  const Arguments arguments = prepare();
  outside::SimulatedNetwork::setStatus(outside::NotReachable);
  operation.start(*model_, arguments);
  if (operation.networkCheck == NetworkCheck::kSendsAnyway) {
    ASSERT_TRUE(waitForEvents());
    EXPECT_EQ(delegate_->events, std::vector<std::string>{operation.event + "Success"});
    EXPECT_TRUE(app_.toasts().empty());
    return;
  }
  EXPECT_EQ(app_.toasts(), std::vector<std::string>{"暂无网络,请检查网络"});
  EXPECT_FALSE(loadingIndicatorShown());
  // The server time does not ask for the network: its reply shows that nothing else was sent or called
  // back in the meantime.
  model_->networkGetServerTime();
  ASSERT_TRUE(waitForEvents());
  EXPECT_EQ(delegate_->events, std::vector<std::string>{"networkGetServerTimeSuccess"});
  EXPECT_TRUE(app_.backend().recordedRequests(operation.path).empty());
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, CourseOperationTest, ::testing::ValuesIn(operations()),
                         [](const ::testing::TestParamInfo<Operation>& info) { return info.param.name; });

}  // namespace
}  // namespace coursetest
