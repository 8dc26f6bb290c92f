// Every course operation against the sample back end: a refusal, a transport failure and a missing network
// each end as the operation promises.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/course/QMLiveModel.h"
#include "app/course/course_test_util.h"
#include "platform/outside/SimulatedNetwork.h"

namespace app {

namespace coursetest {
namespace {

// The objects an operation is started with.
struct Arguments {
  std::shared_ptr<QMSubject> subject;
  std::shared_ptr<QMStage> stage;
  std::shared_ptr<QMLiveGroupModel> group;
  std::shared_ptr<QMLiveModel> live;
};

enum NetworkCheck { kAsksFirst, kSendsAnyway };
enum RefusalText { kShown, kQuiet };

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
  using Model = QMCourseDataModel;
  static const std::vector<Operation> kOperations = {
      {"AllSubjects", Model::kAllSubjectsPath, "networkGetAllSubjects", kSendsAnyway, kShown,
       [](auto& model, auto&) { model.networkGetAllSubjectsWithSeason(nullptr); }},
      {"LiveCourse", Model::kLiveCoursePath, "networkGetLiveCourse", kSendsAnyway, kShown,
       [](auto& model, auto&) { model.networkGetLiveCourseWithSeason(nullptr, 1); }},
      {"LiveParam", Model::kLiveParamPath, "networkGetLiveParam", kSendsAnyway, kShown,
       [](auto& model, auto& arguments) { model.networkGetLiveParamWith(arguments.live); }},
      {"UserProtocolStatus", Model::kUserProtocolStatusPath, "networkGetUserProtocolStatus", kSendsAnyway,
       kShown, [](auto& model, auto&) { model.networkGetUserProtocolStatus(); }},
      {"SignUserProtocol", Model::kSignUserProtocolPath, "networkSignProtocol", kAsksFirst, kShown,
       [](auto& model, auto&) { model.networkSignUserProtocolWithRealName("林知远", "110108199003072513"); }},
      {"CourseTree", Model::kCourseTreePath, "networkGetCourseTree", kAsksFirst, kShown,
       [](auto& model, auto& arguments) { model.networkGetCourseTreeWithStage(arguments.stage); }},
      {"ServerTime", Model::kServerTimePath, "networkGetServerTime", kSendsAnyway, kShown,
       [](auto& model, auto&) { model.networkGetServerTime(); }},
      {"SaveVideoProgress", Model::kSaveProgressPath, "networkSaveVideoProgress", kAsksFirst, kShown,
       [](auto& model, auto& arguments) { model.networkSaveVideoProgress(arguments.subject); }},
      {"GetVideoProgress", Model::kGetProgressPath, "networkGetVideoProgress", kAsksFirst, kQuiet,
       [](auto& model, auto& arguments) { model.networkGetVideoProgress(arguments.subject); }},
  };
  return kOperations;
}

class CourseOperationTest : public CourseDataModelTest, public ::testing::WithParamInterface<Operation> {
 protected:
  // Readies, without a request, subject 101 with a position to save, its first stage and a catalogue live.
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

  // Starts the operation under a session the back end never checks (refusals and cuts come first), so that
  // no login goes before: the failing request is the first, on a fresh connection the HTTP client does not
  // retry on. Returns the callbacks.
  Events startWithUncheckedSession() {
    QMUser::sharedInstance()->setUserSid("unchecked");
    const Arguments arguments = prepare();
    return callbacksOf([&] { GetParam().start(*model_, arguments); });
  }
};

TEST_P(CourseOperationTest, ARefusalEndsInFailedWithTheClientsOwnText) {
  app_.backend().controls().refuseNextRequest(std::string(GetParam().path), 9999);
  EXPECT_EQ(startWithUncheckedSession(), Events{GetParam().event + "Failed"});
  EXPECT_EQ(app_.toasts(), GetParam().refusalText == kShown ? Events{"系统内部错误"} : Events{});
  EXPECT_FALSE(app_.loadingIndicatorShown());
}

TEST_P(CourseOperationTest, ATransportFailureEndsInFailedWithoutAToast) {
  app_.backend().controls().cutNextConnection(std::string(GetParam().path));
  EXPECT_EQ(startWithUncheckedSession(), Events{GetParam().event + "Failed"});
  EXPECT_TRUE(app_.toasts().empty());
  EXPECT_FALSE(app_.loadingIndicatorShown());
  EXPECT_EQ(app_.backend().recordedRequests(GetParam().path).size(), 1u);
}

// With no network, an operation that asks first holds back and shows the no-network toast; one that sends
// anyway fails as on a phone, as a transport failure does (without a toast). No server hears of either.
TEST_P(CourseOperationTest, WithoutANetworkOnlyTheOperationsThatAskFirstHoldBack) {
  const Operation& operation = GetParam();
  logIn();
  const Arguments arguments = prepare();
  outside::SimulatedNetwork::setStatus(outside::NotReachable);
  operation.start(*model_, arguments);
  if (operation.networkCheck == kSendsAnyway) {
    ASSERT_TRUE(waitForEvents());
    EXPECT_EQ(delegate_->events, Events{operation.event + "Failed"});
    EXPECT_TRUE(app_.toasts().empty());
  } else {
    EXPECT_EQ(app_.toasts(), std::vector<std::string>{"暂无网络,请检查网络"});
    EXPECT_FALSE(app_.loadingIndicatorShown());
    // The server time does not ask for the network: its failure, the only callback, shows that nothing else
    // was called back meanwhile.
    model_->networkGetServerTime();
    ASSERT_TRUE(waitForEvents());
    EXPECT_EQ(delegate_->events, Events{"networkGetServerTimeFailed"});
  }
  EXPECT_TRUE(app_.backend().recordedRequests(operation.path).empty());
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, CourseOperationTest, ::testing::ValuesIn(operations()),
                         [](const ::testing::TestParamInfo<Operation>& info) { return info.param.name; });

}  // namespace
}  // namespace coursetest

}  // namespace app
