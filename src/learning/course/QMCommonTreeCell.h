#pragma once

// QMCommonTreeCell: a row of the playback screen's course tree, from nib "QMCommonTreeCell" (reuse
// identifier "QMCourseCell"). setNodeData() draws the node by its kind and depth: a stage, a chapter (level
// 1: the name and "讲师：<teacher>" on a second line), a unit (level 2) or a lesson (level 3, whose icon
// shows whether it is the lesson playing). The row's screen text starts with "▶" on the lesson playing, at
// any depth.
//
// Thread-safety: main thread only, like every view.

#include <memory>

#include "learning/tree/TRTreeNodeCell.h"
#include "platform/uikit/views/ImageView.h"
#include "platform/uikit/views/Label.h"

namespace learning {

class QMListenController;

class QMCommonTreeCell : public TRTreeNodeCell {
 public:
  static constexpr char kNibName[] = "QMCommonTreeCell";
  static constexpr char kReuseIdentifier[] = "QMCourseCell";
  static constexpr char kPlayingMark[] = "▶";
  static constexpr double kRowHeight = 60;

  // Registers nib "QMCommonTreeCell": one cell with its outlets, for any owner.
  static void registerNib();

  QMCommonTreeCell();

  // The screen that shows the cell, held weakly; it tells which lesson plays.
  std::shared_ptr<QMListenController> superController() const { return superController_.lock(); }
  void setSuperController(std::weak_ptr<QMListenController> controller) {
    superController_ = std::move(controller);
  }

  const std::shared_ptr<uikit::ImageView>& tagImageView() const { return tagImageView_; }
  const std::shared_ptr<uikit::ImageView>& shadowImageView() const { return shadowImageView_; }
  const std::shared_ptr<uikit::Label>& nameLabel() const { return nameLabel_; }
  const std::shared_ptr<uikit::Label>& sepLabel() const { return sepLabel_; }

  // Stores the node, then draws it as the header comment says.
  void setNodeData(const std::shared_ptr<TRTreeNodeData>& node) override;
  // "▶" on the lesson playing, else nothing.
  std::string visibleText() const override;

 private:
  std::weak_ptr<QMListenController> superController_;
  std::shared_ptr<uikit::ImageView> tagImageView_;
  std::shared_ptr<uikit::ImageView> shadowImageView_;
  std::shared_ptr<uikit::Label> nameLabel_;
  std::shared_ptr<uikit::Label> sepLabel_;
  bool showsPlaying_ = false;
};

}  // namespace learning
