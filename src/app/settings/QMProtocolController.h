#pragma once

// QMProtocolController: the course-agreement screen, which a learner who must sign the agreement cannot
// leave until they have signed. It shows the learner's login name (userNameLabel) and the agreement's name
// on a button (protocolBtn) that opens the agreement; the learner types their legal name (realNameTF) and
// identity-card number (cardIDTF), ticks the agree box (agreeBtn, whose tag is 1 while ticked and 0 while
// not, with the background image "xiexi_selected_on" or "xiexi_selected_off") and taps the confirm button
// (confirmBtn).
//
// Confirming first lowers the keyboard, then refuses with a two-second toast, in this order: a name that
// is not 2 to 20 Latin letters or 2 to 20 CJK ideographs ("姓名输入有误"), an empty card number
// ("身份证号输入有误"; only emptiness is checked here, the back end checks the number), an unticked box
// ("请同意协议"). Otherwise it signs through the course client (QMCourseDataModel), whose failure leaves the
// screen open with its texts; success dismisses the screen.
//
// The agreement overlay: a dimmed view over the key window with a web view that loads QMUser's
// protocolAddress into its upper three quarters, and a close button ("protocol_close") that takes the
// overlay away. It is built on first use and kept, so a second showing loads the page no second time,
// unless the first load failed: then the page is loaded again, so that a learner who opened the agreement
// without a network can still read it once the network is back.
//
// The overlay goes when the screen does: a screen dropped while its overlay is up (a forced logout rebuilds
// the root) leaves nothing behind on the window.
//
// The scene "QMProtocolController" of storyboard "More" makes it, at the root of the scene "QMProtocolNav".
//
// Thread-safety: main thread only, like every controller.

#include <memory>

#include "app/base/QMBaseViewController.h"
#include "app/course/QMCourseDataModel.h"
#include "app/course/QMCourseDataModelDelegate.h"
#include "platform/uikit/app/Window.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/controls/TextField.h"
#include "platform/uikit/controls/TextFieldDelegate.h"
#include "platform/uikit/views/Label.h"
#include "platform/uikit/web/WebView.h"

namespace app {

class QMProtocolController : public QMBaseViewController,
                             public uikit::TextFieldDelegate,
                             public QMCourseDataModelDelegate {
 public:
  static constexpr char kTitle[] = "签署协议";
  static constexpr char kBadNameText[] = "姓名输入有误";
  static constexpr char kBadCardText[] = "身份证号输入有误";
  static constexpr char kNotAgreedText[] = "请同意协议";
  static constexpr char kAgreeText[] = "我已阅读并同意";
  static constexpr char kConfirmTitle[] = "确认签署";
  static constexpr char kAgreedImage[] = "xiexi_selected_on";
  static constexpr char kNotAgreedImage[] = "xiexi_selected_off";
  static constexpr char kCloseImage[] = "protocol_close";

  // Outlets, made by loadView(); nullptr before the view is loaded.
  const std::shared_ptr<uikit::Label>& userNameLabel() const { return userNameLabel_; }
  const std::shared_ptr<uikit::TextField>& realNameTF() const { return realNameTF_; }
  const std::shared_ptr<uikit::TextField>& cardIDTF() const { return cardIDTF_; }
  const std::shared_ptr<uikit::Button>& agreeBtn() const { return agreeBtn_; }
  const std::shared_ptr<uikit::Button>& protocolBtn() const { return protocolBtn_; }
  // The screen's client of the study back end; nullptr before viewDidLoad().
  const std::shared_ptr<QMCourseDataModel>& dataModel() const { return dataModel_; }
  // The agreement overlay and its web view; nullptr until first shown.
  const std::shared_ptr<uikit::View>& protocolView() const { return protocolView_; }
  const std::shared_ptr<uikit::WebView>& protocolWebView() const { return protocolWebView_; }

  QMProtocolController() = default;
  // Takes the agreement overlay off the key window.
  ~QMProtocolController() override;

  // Builds the screen's views, wired to this controller.
  void loadView() override;
  // Makes the data model and shows the learner's name and the agreement's name.
  void viewDidLoad() override;

  // The agree box's action: flips the tag between 0 and 1 and shows the matching image.
  void agreeAction(uikit::Button& sender);
  // The agreement button's action: showProtocolDetail().
  void watchProtocolAction(uikit::Button& sender);
  // Puts the agreement overlay on the key window, building it first when needed.
  void showProtocolDetail();
  // The overlay's close button: takes the overlay off the screen; it stays built.
  void closeProtocolViewAction(uikit::Button& sender);
  // The confirm button's action: the checks and the signature of the header comment.
  void comfirmAction(uikit::Button& sender);

  // The return key lowers the keyboard.
  bool textFieldShouldReturn(uikit::TextField& textField) override;
  // Dismisses the screen, animated.
  void networkSignProtocolSuccess() override;

 private:
  void buildProtocolView(const uikit::Window& window);

  std::shared_ptr<uikit::Label> userNameLabel_;
  std::shared_ptr<uikit::TextField> realNameTF_;
  std::shared_ptr<uikit::TextField> cardIDTF_;
  std::shared_ptr<uikit::Button> agreeBtn_;
  std::shared_ptr<uikit::Button> protocolBtn_;
  std::shared_ptr<uikit::Button> confirmBtn_;
  std::shared_ptr<QMCourseDataModel> dataModel_;
  std::shared_ptr<uikit::View> protocolView_;
  std::shared_ptr<uikit::WebView> protocolWebView_;
};

}  // namespace app
