#pragma once

// QMDownloadCell: a row of the lesson download picker, loaded from the nib "QMDownloadCell" (also its reuse
// identifier). It shows a stage with the stage icon, and a course node (chapter, unit or lesson) with a
// check box ticked as the node is, its name, and the colours and shadow of its level; the rows of the third
// level join up as one block under their unit, with a shadow on the first and no separator under the last.
//
// Thread-safety: main thread only, like every view.

#include <memory>

#include "learning/tree/TRTreeNodeCell.h"
#include "platform/uikit/views/ImageView.h"
#include "platform/uikit/views/Label.h"

namespace learning {

class QMDownloadCell : public TRTreeNodeCell {
 public:
  static constexpr char kNibName[] = "QMDownloadCell";
  // The pictures of the check box and of a stage.
  static constexpr char kSelectOnImage[] = "DL_select_on";
  static constexpr char kSelectOffImage[] = "DL_select_off";
  static constexpr char kStageImage[] = "home_stage";

  QMDownloadCell();

  // Registers the nib "QMDownloadCell", whose one top-level view is a new cell. Call once at start-up.
  static void registerNib();

  // Outlets, made with the cell.
  const std::shared_ptr<uikit::ImageView>& shadowImageView() const { return shadowImageView_; }
  const std::shared_ptr<uikit::ImageView>& tagImageView() const { return tagImageView_; }
  const std::shared_ptr<uikit::Label>& nameLabel() const { return nameLabel_; }
  const std::shared_ptr<uikit::Label>& sepLabel() const { return sepLabel_; }

  // Stores the node, then draws it (a stage, or a course at its level).
  void setNodeData(const std::shared_ptr<TRTreeNodeData>& node) override;
  void layoutSubviews() override;

 private:
  std::shared_ptr<uikit::ImageView> shadowImageView_;
  std::shared_ptr<uikit::ImageView> tagImageView_;
  std::shared_ptr<uikit::Label> nameLabel_;
  std::shared_ptr<uikit::Label> sepLabel_;
};

}  // namespace learning
