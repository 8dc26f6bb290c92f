#pragma once

// QMFeedbackController: the feedback screen. The learner writes feedback in a text view (myTextview, which
// takes the keyboard as the screen loads), under a placeholder label (adviceHoldLabel) that shows only while
// the text view is empty, may leave a contact in a field (myTF), and taps the send button (sendBtn). An
// empty feedback is refused with the two-second toast "反馈意见不能为空"; anything else, blanks too, is sent
// as it stands with the contact, which may be empty (QMUserDataModel::networkFeedbackWith). Success shows
// the toast "反馈成功" and leaves the screen and its texts as they are; a failure adds nothing to what the
// request layer shows. The back button "返回" pops the screen.
//
// The scene "QMFeedbackController" of storyboard "More" makes it; the settings screen pushes it.
//
// Thread-safety: main thread only, like every controller.

#include <memory>

#include "app/base/QMBaseViewController.h"
#include "app/user/QMUserDataModel.h"
#include "app/user/QMUserDataModelDelegate.h"
#include "platform/uikit/controllers/BarButtonItem.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/controls/TextField.h"
#include "platform/uikit/controls/TextView.h"
#include "platform/uikit/controls/TextViewDelegate.h"
#include "platform/uikit/views/Label.h"

namespace app {

class QMFeedbackController : public QMBaseViewController,
                             public uikit::TextViewDelegate,
                             public QMUserDataModelDelegate {
 public:
  static constexpr char kTitle[] = "意见反馈";
  static constexpr char kBackTitle[] = "返回";
  static constexpr char kPlaceholderText[] = "请输入您的宝贵意见";
  static constexpr char kContactPlaceholder[] = "联系方式（选填）";
  static constexpr char kSendTitle[] = "提交";
  static constexpr char kEmptyFeedbackText[] = "反馈意见不能为空";
  static constexpr char kSentText[] = "反馈成功";

  // Outlets, made by loadView(); nullptr before the view is loaded.
  const std::shared_ptr<uikit::TextView>& myTextview() const { return myTextview_; }
  const std::shared_ptr<uikit::TextField>& myTF() const { return myTF_; }
  const std::shared_ptr<uikit::Label>& adviceHoldLabel() const { return adviceHoldLabel_; }
  const std::shared_ptr<uikit::Button>& sendBtn() const { return sendBtn_; }
  // The screen's client of the user-centre back end; nullptr before viewDidLoad().
  const std::shared_ptr<QMUserDataModel>& dataModel() const { return dataModel_; }

  // Builds the text view with its placeholder, the contact field, the send button and the back button.
  void loadView() override;
  // Makes the data model and gives the text view the keyboard.
  void viewDidLoad() override;

  // Shows the placeholder only while the text view is empty.
  void textViewDidChange(uikit::TextView& textView) override;
  // The send button's action.
  void sendAdvice(uikit::Button& sender);
  void networkFeedbackSuccess() override;
  // The back button's action: pops the screen, animated.
  void goBack(uikit::BarButtonItem& sender);

 private:
  std::shared_ptr<uikit::TextView> myTextview_;
  std::shared_ptr<uikit::TextField> myTF_;
  std::shared_ptr<uikit::Label> adviceHoldLabel_;
  std::shared_ptr<uikit::Button> sendBtn_;
  std::shared_ptr<QMUserDataModel> dataModel_;
};

}  // namespace app
