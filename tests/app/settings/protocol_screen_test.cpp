// The course-agreement screen against the sample back end, driven as a finger would: what it checks before
// it signs, the signature itself, and the agreement page in its overlay.

#include "app/course/QMCourseDataModel.h"
#include "app/course/QMCourseDataModelDelegate.h"
#include "app/session/QMUser.h"
#include "app/settings/QMProtocolController.h"
#include "app/settings/settings_test_util.h"
#include "platform/outside/SimulatedNetwork.h"
#include "platform/uikit/app/Keyboard.h"

namespace app::settingstest {
namespace {

// The learner whom the sample back end asks to sign the agreement.
constexpr char kSigningLearner[] = "13800138000";
constexpr char kSigningPassword[] = "second2016";
constexpr char kPagePath[] = "/quillmark/agreement/P2017001.html";
constexpr char kFirstClause[] = "第一条 学员应按课程安排参加学习，不得将账号转借他人使用。";

class StatusWaiter : public QMCourseDataModelDelegate {
 public:
  void networkGetUserProtocolStatusSuccess() override { done = true; }
  void networkGetUserProtocolStatusFailed() override { done = true; }
  bool done = false;
};

class ProtocolScreenTest : public SettingsTest {
 protected:
  void SetUp() override {
    launchAndLogIn(kSigningLearner, kSigningPassword);
    askAgreementStatus();
    ASSERT_TRUE(QMUser::sharedInstance()->isNeedSign());
    open(QMMoreStoryboard::kProtocolNavScene);
    ASSERT_TRUE(screenShows("[QMProtocolController]")) << screen();
  }

  // Asks the back end whether the learner must sign, as the subject screen does.
  void askAgreementStatus() {
    auto waiter = std::make_shared<StatusWaiter>();
    auto model = std::make_shared<QMCourseDataModel>();
    model->setDelegate(waiter);
    model->networkGetUserProtocolStatus();
    ASSERT_TRUE(runUntil([&] { return waiter->done; }));
  }

  // Types both fields, taps the confirm button and returns the toast that follows, once the back end has
  // answered when it was asked; the toast is then let go.
  std::string confirm(const std::string& name, const std::string& card) {
    type("realNameTF", name);
    type("cardIDTF", card);
    const std::size_t signaturesBefore = signaturesSent();
    tap("confirmBtn");
    runUntil([&] { return screenShows("toast:") || !screenShows("[QMProtocolController]"); });
    EXPECT_FALSE(uikit::Keyboard::isVisible()) << "confirming lowers the keyboard";
    const std::size_t toastStart = screen().find("toast: ");
    const std::string toast =
        toastStart == std::string::npos
            ? std::string()
            : screen().substr(toastStart + 7, screen().find('\n', toastStart) - toastStart - 7);
    letToastsGo();
    lastConfirmSigned_ = signaturesSent() > signaturesBefore;
    return toast;
  }

  std::size_t signaturesSent() {
    return app_.backend().recordedRequests(QMCourseDataModel::kSignUserProtocolPath).size();
  }
  std::size_t pageLoads() { return app_.backend().recordedRequests(kPagePath).size(); }

  std::shared_ptr<QMProtocolController> protocolScreen() {
    const auto nav = root()->presentedViewController();
    return nav ? std::dynamic_pointer_cast<QMProtocolController>(nav->contentViewController()) : nullptr;
  }

  bool lastConfirmSigned_ = false;
};

TEST_F(ProtocolScreenTest, ItShowsTheLearnerAndTheAgreementAndChecksTheInputBeforeSigning) {
  EXPECT_TRUE(screenShows("label userNameLabel: 13800138000")) << screen();
  EXPECT_TRUE(screenShows("button protocolBtn: [2017考研全程班学员协议]")) << screen();

  // A name of one letter, of 21 letters, or of letters and ideographs mixed.
  for (const std::string& name : {std::string("a"), std::string(21, 'a'), std::string("Li周")}) {
    EXPECT_EQ(confirm(name, "110108199003072513"), QMProtocolController::kBadNameText) << name;
  }
  EXPECT_EQ(confirm("周若", ""), QMProtocolController::kBadCardText);
  // Any card number that is not empty passes; the unticked box is next.
  EXPECT_EQ(confirm("周若", "1"), QMProtocolController::kNotAgreedText);
  EXPECT_EQ(confirm(std::string(20, 'a'), "1"), QMProtocolController::kNotAgreedText);

  // Ticking twice is not ticking.
  tap("agreeBtn");
  EXPECT_EQ(protocolScreen()->agreeBtn()->tag(), 1);
  EXPECT_TRUE(screenShows("button agreeBtn: [xiexi_selected_on]")) << screen();
  tap("agreeBtn");
  EXPECT_EQ(protocolScreen()->agreeBtn()->tag(), 0);
  EXPECT_TRUE(screenShows("button agreeBtn: [xiexi_selected_off]")) << screen();
  EXPECT_EQ(confirm("周若溪", "110108199003072513"), QMProtocolController::kNotAgreedText);
  EXPECT_EQ(signaturesSent(), 0u);
}

TEST_F(ProtocolScreenTest, ARefusedSignatureLeavesTheScreenAndASignedOneClosesIt) {
  tap("agreeBtn");
  // The back end checks the card number's check character.
  EXPECT_EQ(confirm("周若溪", "110108199003072514"), "身份证号输入有误");
  EXPECT_TRUE(lastConfirmSigned_);
  EXPECT_TRUE(screenShows("[QMProtocolController]")) << screen();
  EXPECT_TRUE(screenShows("field realNameTF: 周若溪")) << screen();

  EXPECT_EQ(confirm("周若溪", "110108199003072513"), "");
  EXPECT_TRUE(screenShows("[QMSubjectController]")) << screen();
  const std::vector<apptest::Parameters> sent = app_.sentParameters(QMCourseDataModel::kSignUserProtocolPath);
  EXPECT_EQ(sent.back().at("name"), "周若溪");
  EXPECT_EQ(sent.back().at("superId"), "110108199003072513");
  askAgreementStatus();
  EXPECT_FALSE(QMUser::sharedInstance()->isNeedSign());
}

TEST_F(ProtocolScreenTest, TheOverlayShowsTheAgreementPageWhichLoadsOnce) {
  tap("protocolBtn");
  ASSERT_TRUE(runUntil([] { return screenShows(kFirstClause); })) << screen();
  const std::string pageURL =
      "http://" + app_.backend().recordedRequests(kPagePath)[0].request.headers.at("host") + kPagePath;
  EXPECT_TRUE(screenShows("web protocolWebView: " + pageURL + "\n  2017考研全程班学员协议\n")) << screen();
  EXPECT_EQ(QMUser::sharedInstance()->protocolAddress(), pageURL);
  EXPECT_EQ(pageLoads(), 1u);

  tap("protocolCloseBtn");
  EXPECT_FALSE(screenShows("protocolWebView")) << screen();
  EXPECT_TRUE(screenShows("[QMProtocolController]")) << screen();

  tap("protocolBtn");
  EXPECT_TRUE(screenShows(kFirstClause)) << screen();
  EXPECT_EQ(pageLoads(), 1u) << "the overlay is kept with its page";
  EXPECT_FALSE(protocolScreen()->protocolWebView()->isLoading());
}

TEST_F(ProtocolScreenTest, AnAgreementThatCouldNotLoadIsLoadedAgainOnTheNextShowing) {
  outside::SimulatedNetwork::setStatus(outside::NotReachable);
  tap("protocolBtn");
  ASSERT_TRUE(runUntil([] { return screenShows("(failed: "); })) << screen();
  tap("protocolCloseBtn");

  outside::SimulatedNetwork::setStatus(outside::ReachableViaWiFi);
  tap("protocolBtn");
  ASSERT_TRUE(runUntil([] { return screenShows(kFirstClause); })) << screen();
  EXPECT_EQ(pageLoads(), 1u);
}

TEST_F(ProtocolScreenTest, TheOverlayGoesWithTheScreen) {
  tap("protocolBtn");
  ASSERT_TRUE(runUntil([] { return screenShows(kFirstClause); })) << screen();
  // A forced logout rebuilds the root while the overlay is up.
  QMUser::sharedInstance()->logout();
  settle();
  EXPECT_TRUE(screenShows("[QMUserLogController]")) << screen();
  EXPECT_FALSE(screenShows("protocolWebView")) << screen();
  EXPECT_FALSE(screenShows("protocolCloseBtn")) << screen();
}

}  // namespace
}  // namespace app::settingstest
