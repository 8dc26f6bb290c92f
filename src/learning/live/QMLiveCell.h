#pragma once

// QMLiveCell: a row of the live-detail screen, one live lesson: its status tag (QMLiveStatusLabel.h), its
// name, its time and "讲师：<teacher>".
//
// Status tags: -1 "  已结束  " and 0 "  未开始  " (grey), 1 "  正在直播  " and 2 "  观看回放  " (blue-green);
// any other status leaves the tag as it was, which for a new or reused cell is empty. A missing text shows as
// empty.
//
// Thread-safety: main thread only, like every view.

#include <memory>
#include <string>

#include "app/course/QMLiveModel.h"
#include "platform/uikit/tables/TableViewCell.h"
#include "platform/uikit/views/Label.h"

namespace learning {

class QMLiveCell : public uikit::TableViewCell {
 public:
  static constexpr char kReuseIdentifier[] = "QMLiveCell";
  static constexpr char kEndedText[] = "  已结束  ";
  static constexpr char kNotStartedText[] = "  未开始  ";
  static constexpr char kLiveText[] = "  正在直播  ";
  static constexpr char kReplayText[] = "  观看回放  ";

  QMLiveCell(uikit::TableViewCellStyle style, std::string reuseIdentifier);

  // Outlets, owned by the cell.
  uikit::Label& statusLabel() { return *statusLabel_; }
  uikit::Label& nameLabel() { return *nameLabel_; }
  uikit::Label& timeLabel() { return *timeLabel_; }
  uikit::Label& teacherLabel() { return *teacherLabel_; }

  const std::shared_ptr<app::QMLiveModel>& liveModel() const { return liveModel_; }
  // Keeps `live` and shows it. REQUIRES: live is not nullptr.
  void setLiveModel(std::shared_ptr<app::QMLiveModel> live);

  // Empties the status tag, so that a reused cell shows nothing of its former lesson.
  void prepareForReuse() override;

 private:
  std::shared_ptr<uikit::Label> statusLabel_;
  std::shared_ptr<uikit::Label> nameLabel_;
  std::shared_ptr<uikit::Label> timeLabel_;
  std::shared_ptr<uikit::Label> teacherLabel_;
  std::shared_ptr<app::QMLiveModel> liveModel_;
};

}  // namespace learning
