#include "learning/live/QMLiveGroupCell.h"

#include "http_client/HCImageViewLoading.h"
#include "learning/live/QMLiveStatusLabel.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace learning {

namespace {

constexpr double kPictureSide = 70;
constexpr double kTextLeft = 95;
constexpr double kTextWidth = 200;
constexpr double kLineHeight = 20;

std::shared_ptr<uikit::Label> makeLabel(const char* outletName, double x, double y, double width) {
  return uikit::outlet(outletName, std::make_shared<uikit::Label>(uikit::Rect(x, y, width, kLineHeight)));
}

}  // namespace

QMLiveGroupCell::QMLiveGroupCell(uikit::TableViewCellStyle style, std::string reuseIdentifier)
    : uikit::TableViewCell(style, std::move(reuseIdentifier)),
      liveImageView_(uikit::outlet("liveImageView", std::make_shared<uikit::ImageView>(
                                                        uikit::Rect(10, 10, kPictureSide, kPictureSide)))),
      liveTitleLabel_(makeLabel("liveTitleLabel", kTextLeft, 8, kTextWidth)),
      liveStatusLabel_(makeLabel("liveStatusLabel", kTextLeft + kTextWidth, 8, 100)),
      liveTeacherLabel_(makeLabel("liveTeacherLabel", kTextLeft, 35, kTextWidth)),
      liveNumberLabel_(makeLabel("liveNumberLabel", kTextLeft, 62, kTextWidth)) {
  setFrame(uikit::Rect(0, 0, 320, kRowHeight));
  for (const std::shared_ptr<uikit::View>& view : std::initializer_list<std::shared_ptr<uikit::View>>{
           liveImageView_, liveTitleLabel_, liveStatusLabel_, liveTeacherLabel_, liveNumberLabel_}) {
    contentView().addSubview(view);
  }
  QMLiveStatusLabel::shape(*liveStatusLabel_);
}

void QMLiveGroupCell::setGroupModel(std::shared_ptr<app::QMLiveGroupModel> group) {
  QM_DCHECK_MAIN_THREAD();
  groupModel_ = std::move(group);
  const app::QMLiveGroupModel& shown = *groupModel_;
  switch (shown.groupStatus()) {
    case app::QMLiveModel::kStatusEnded:
      QMLiveStatusLabel::show(*liveStatusLabel_, kEndedText, QMLiveStatusLabel::inactiveColor());
      break;
    case app::QMLiveModel::kStatusLive:
      QMLiveStatusLabel::show(*liveStatusLabel_, kLiveText, QMLiveStatusLabel::activeColor());
      break;
    case app::QMLiveModel::kStatusNotStarted:
      QMLiveStatusLabel::show(*liveStatusLabel_, " " + shown.groupBeginTime().value_or("") + " ",
                              QMLiveStatusLabel::activeColor());
      break;
    default:
      break;
  }
  if (std::optional<ns::URL> picture = ns::URL::fromString(shown.groupPicUrl().value_or(""))) {
    http_client::setImageWithURL(liveImageView_, *picture);
  }
  liveTitleLabel_->setText(shown.groupName().value_or(""));
  liveTeacherLabel_->setText("讲师：" + shown.groupTeacherName().value_or(""));
  liveNumberLabel_->setText(std::to_string(shown.groupCurrNum()) + "/" +
                            std::to_string(shown.groupTotalNum()) + "次");
}

void QMLiveGroupCell::prepareForReuse() {
  QMLiveStatusLabel::clear(*liveStatusLabel_);
  http_client::cancelImageRequestOperation(liveImageView_);
  liveImageView_->setImage(nullptr);
}

}  // namespace learning
