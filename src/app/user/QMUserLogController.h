#pragma once

// QMUserLogController: the login screen, the root of the application while nobody is signed in. The scene
// "QMUserLogController" of storyboard "User" (QMUserStoryboard.h) makes it.
//
// The learner types a name and a password and taps the login button. Empty fields are refused with a
// two-second toast ("请输入用户名" first, then "请输入密码"; nothing is trimmed), and nothing is sent. A
// successful login asks the application delegate to rebuild the root screen (QMAppServices), which puts
// the main screens in place of this one; a refused one leaves the screen as it is, the request layer having
// shown why.
//
// Layout: the logo and the title slide up as the screen appears (0.8 s); the two input frames and the button
// start hidden and show once that slide ends. The input area sits topAlignConstant() points from the top:
// 330 points on a screen 667 points high, in proportion on others. While the keyboard is up, the whole view
// moves up by kKeyboardShift points, never further.
//
// Thread-safety: main thread only, like every controller.

#include <memory>

#include "app/base/QMBaseViewController.h"
#include "app/user/QMUserDataModel.h"
#include "app/user/QMUserDataModelDelegate.h"
#include "platform/foundation/notify/Notification.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/controls/TextField.h"
#include "platform/uikit/controls/TextFieldDelegate.h"
#include "platform/uikit/views/ImageView.h"

namespace app {

class QMUserLogController : public QMBaseViewController,
                            public uikit::TextFieldDelegate,
                            public QMUserDataModelDelegate {
 public:
  static constexpr char kEmptyNameText[] = "请输入用户名";
  static constexpr char kEmptyPasswordText[] = "请输入密码";
  static constexpr char kLoginTitle[] = "登录";
  static constexpr double kKeyboardShift = 210;

  QMUserLogController() = default;
  ~QMUserLogController() override;

  // Outlets, made by loadView(); nullptr before the view is loaded.
  const std::shared_ptr<uikit::TextField>& userNameTF() const { return userNameTF_; }
  const std::shared_ptr<uikit::TextField>& userPasswordTF() const { return userPasswordTF_; }
  const std::shared_ptr<uikit::Button>& loginBtn() const { return loginBtn_; }
  const std::shared_ptr<uikit::View>& userNameView() const { return userNameView_; }
  const std::shared_ptr<uikit::View>& passwordView() const { return passwordView_; }
  const std::shared_ptr<uikit::ImageView>& loginIcon() const { return loginIcon_; }
  const std::shared_ptr<uikit::ImageView>& loginTitle() const { return loginTitle_; }
  // How far below the top the input area sits, in points.
  double topAlignConstant() const { return topAlignConstant_; }
  // The screen's client of the user-centre back end; nullptr before viewDidLoad().
  const std::shared_ptr<QMUserDataModel>& dataModel() const { return dataModel_; }

  // Builds the screen's views as its storyboard scene lays them out, with the login button and the two
  // fields wired to this controller.
  void loadView() override;
  // Rounds the login button, makes the data model and follows the keyboard.
  void viewDidLoad() override;
  // Slides the logo and the title up, then shows the input area.
  void viewDidAppear(bool animated) override;
  // Places the input area topAlignConstant() points down the key window.
  void viewDidLayoutSubviews() override;

  // The login button's action: both fields give up the keyboard, and a login is sent when the input passes.
  void goLoginAction(uikit::Button& sender);
  // Returns true when both fields hold text; otherwise shows the toast for the first empty one.
  bool checkUserInput();

  // The return key lowers the keyboard.
  bool textFieldShouldReturn(uikit::TextField& textField) override;
  void networkLoginSuccess() override;

  bool shouldAutorotate() const override { return true; }
  uikit::InterfaceOrientationMask supportedInterfaceOrientations() const override {
    return uikit::kInterfaceOrientationMaskPortrait;
  }

 private:
  void keyboardWillShow(const ns::Notification& notification);
  void keyboardWillHide(const ns::Notification& notification);
  // Moves the view by `dy` points over the keyboard's 0.3 seconds.
  void shiftView(double dy);
  void resignBothFields();

  std::shared_ptr<uikit::TextField> userNameTF_;
  std::shared_ptr<uikit::TextField> userPasswordTF_;
  std::shared_ptr<uikit::Button> loginBtn_;
  std::shared_ptr<uikit::View> userNameView_;
  std::shared_ptr<uikit::View> passwordView_;
  std::shared_ptr<uikit::ImageView> loginIcon_;
  std::shared_ptr<uikit::ImageView> loginTitle_;
  double topAlignConstant_ = 0;
  std::shared_ptr<QMUserDataModel> dataModel_;
};

}  // namespace app
