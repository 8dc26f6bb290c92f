#pragma once

// QMLiveGroupCell: a row of the live tab, one live group: its picture (loaded from the group's picture URL,
// with no placeholder), its name, its status tag (the status's text in its colour, QMLiveStatusLabel.h),
// "讲师：<teacher>" and "<current>/<total>次".
//
// Status tags: -1 "  已结束  " (grey), 1 "  正在直播  " and 0 " <begin time> " (blue-green); any other
// status leaves the tag as it was, which for a new or reused cell is empty. A missing text shows as empty.
//
// Thread-safety: main thread only, like every view.

#include <memory>
#include <string>

#include "app/course/QMLiveGroupModel.h"
#include "platform/uikit/tables/TableViewCell.h"
#include "platform/uikit/views/ImageView.h"
#include "platform/uikit/views/Label.h"

namespace learning {

class QMLiveGroupCell : public uikit::TableViewCell {
 public:
  static constexpr char kReuseIdentifier[] = "QMLiveGroupCell";
  static constexpr char kEndedText[] = "  已结束  ";
  static constexpr char kLiveText[] = "  正在直播  ";
  // The height the row is laid out for.
  static constexpr double kRowHeight = 90;

  QMLiveGroupCell(uikit::TableViewCellStyle style, std::string reuseIdentifier);

  // Outlets, owned by the cell.
  uikit::ImageView& liveImageView() { return *liveImageView_; }
  uikit::Label& liveTitleLabel() { return *liveTitleLabel_; }
  uikit::Label& liveStatusLabel() { return *liveStatusLabel_; }
  uikit::Label& liveTeacherLabel() { return *liveTeacherLabel_; }
  uikit::Label& liveNumberLabel() { return *liveNumberLabel_; }

  const std::shared_ptr<app::QMLiveGroupModel>& groupModel() const { return groupModel_; }
  // Keeps `group` and shows it. REQUIRES: group is not nullptr.
  void setGroupModel(std::shared_ptr<app::QMLiveGroupModel> group);

  // Empties the status tag and the picture and stops the picture's load, so that a reused cell shows nothing
  // of its former group.
  void prepareForReuse() override;

 private:
  std::shared_ptr<uikit::ImageView> liveImageView_;
  std::shared_ptr<uikit::Label> liveTitleLabel_;
  std::shared_ptr<uikit::Label> liveStatusLabel_;
  std::shared_ptr<uikit::Label> liveTeacherLabel_;
  std::shared_ptr<uikit::Label> liveNumberLabel_;
  std::shared_ptr<app::QMLiveGroupModel> groupModel_;
};

}  // namespace learning
