#include "platform/uikit/alerts/AlertView.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/render/ScreenRenderer.h"
#include "sample_screens_test_util.h"
#include "uikit_test_util.h"

namespace uikit::testing {
namespace {

using ScreenRendererTest = UikitTest;

TEST_F(ScreenRendererTest, NamesTheScreenThenGroupsItsLinesByKindWithWhatIsOnTopLast) {
  auto login = std::make_shared<QMSampleLoginController>();
  login->setTitle("登录");
  auto navigation = std::make_shared<NavigationController>(std::make_shared<QMSampleListController>());
  auto window = showWindowWithRoot(navigation);
  navigation->pushViewController(login, false);
  nextTurn();
  login->userNameTF->setText("student");
  auto toast = std::make_shared<Label>(Rect(100, 300, 175, 40));
  toast->setText("请输入密码");
  window->addSubview(toast);
  std::make_shared<AlertView>("", "文件出错，无法播放", std::weak_ptr<AlertViewDelegate>(), "取消",
                              std::vector<std::string>{})
      ->show();

  EXPECT_EQ(ScreenRenderer::renderKeyWindow(),
            "[QMSampleLoginController]\n"
            "title: 登录\n"
            "label greetingLabel: 欢迎\n"
            "button loginBtn: [登录]\n"
            "button registerBtn: [注册] (disabled)\n"
            "segments kindSegment: [课程] 直播\n"
            "button back: [< Back]\n"
            "field userNameTF: student\n"
            "field userPasswordTF:\n"
            "switch rememberSwitch: off\n"
            "progress loadingBar: 35%\n"
            "label: 请输入密码\n"
            "alert: 文件出错，无法播放 | [取消]\n");
}

TEST_F(ScreenRendererTest, SaysWhenThereIsNoWindowAndShowsTablesRowByRowAndOnlyTheScreenOnTop) {
  EXPECT_EQ(ScreenRenderer::renderKeyWindow(), "[no window]\n");
  auto list = std::make_shared<QMSampleListController>();
  showWindowWithRoot(list);
  list->presentViewController(std::make_shared<QMSampleListController>(), false);
  nextTurn();
  auto presented = std::static_pointer_cast<QMSampleListController>(list->presentedViewController());
  presented->subjects = {"政治"};
  presented->subjectTable->reloadData();

  EXPECT_EQ(ScreenRenderer::renderKeyWindow(),
            "[QMSampleListController]\n"
            "table subjectTable:\n"
            "  [0] 政治 | 3章节\n");
}

}  // namespace
}  // namespace uikit::testing
