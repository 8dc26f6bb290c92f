#include "learning/live/QMLiveCell.h"

#include "learning/live/QMLiveStatusLabel.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace learning {

namespace {

constexpr double kLineHeight = 20;

std::shared_ptr<uikit::Label> makeLabel(const char* outletName, double x, double y, double width) {
  return uikit::outlet(outletName, std::make_shared<uikit::Label>(uikit::Rect(x, y, width, kLineHeight)));
}

}  // namespace

QMLiveCell::QMLiveCell(uikit::TableViewCellStyle style, std::string reuseIdentifier)
    : uikit::TableViewCell(style, std::move(reuseIdentifier)),
      statusLabel_(makeLabel("statusLabel", 10, 12, 90)),
      nameLabel_(makeLabel("nameLabel", 110, 4, 200)),
      timeLabel_(makeLabel("timeLabel", 110, 24, 200)),
      teacherLabel_(makeLabel("teacherLabel", 110, 44, 200)) {
  setFrame(uikit::Rect(0, 0, 320, 68));
  for (const std::shared_ptr<uikit::Label>& label : {statusLabel_, nameLabel_, timeLabel_, teacherLabel_}) {
    contentView().addSubview(label);
  }
  QMLiveStatusLabel::shape(*statusLabel_);
}

void QMLiveCell::setLiveModel(std::shared_ptr<app::QMLiveModel> live) {
  QM_DCHECK_MAIN_THREAD();
  liveModel_ = std::move(live);
  const app::QMLiveModel& shown = *liveModel_;
  switch (shown.liveStatus()) {
    case app::QMLiveModel::kStatusEnded:
      QMLiveStatusLabel::show(*statusLabel_, kEndedText, QMLiveStatusLabel::inactiveColor());
      break;
    case app::QMLiveModel::kStatusNotStarted:
      QMLiveStatusLabel::show(*statusLabel_, kNotStartedText, QMLiveStatusLabel::inactiveColor());
      break;
    case app::QMLiveModel::kStatusLive:
      QMLiveStatusLabel::show(*statusLabel_, kLiveText, QMLiveStatusLabel::activeColor());
      break;
    case app::QMLiveModel::kStatusReplay:
      QMLiveStatusLabel::show(*statusLabel_, kReplayText, QMLiveStatusLabel::activeColor());
      break;
    default:
      break;
  }
  teacherLabel_->setText("讲师：" + shown.liveTeacherName().value_or(""));
  timeLabel_->setText(shown.liveDateTime().value_or(""));
  nameLabel_->setText(shown.liveName().value_or(""));
}

void QMLiveCell::prepareForReuse() {
  QMLiveStatusLabel::clear(*statusLabel_);
}

}  // namespace learning
