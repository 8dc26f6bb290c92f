#pragma once

// QMSubjectCell: a subject row of the subject screen, from nib "QMSubjectCell" (reuse identifier
// "QMSubjectCell"): the subject's icon (the bundle picture named by its iconID), its name, the line
// "<stages>章节  <units>单元  <lessons>课时", and an arrow that points up while the subject is open and down
// while it is closed.
//
// Thread-safety: main thread only, like every view.

#include <memory>

#include "learning/tree/TRTreeNodeCell.h"
#include "platform/uikit/views/ImageView.h"
#include "platform/uikit/views/Label.h"

namespace learning {

class QMSubjectCell : public TRTreeNodeCell {
 public:
  static constexpr char kNibName[] = "QMSubjectCell";
  static constexpr char kReuseIdentifier[] = "QMSubjectCell";
  static constexpr char kArrowUpImage[] = "home_arrow_up";
  static constexpr char kArrowDownImage[] = "home_arrow_down";
  static constexpr double kRowHeight = 75;

  // Registers nib "QMSubjectCell": one cell with its outlets, for any owner.
  static void registerNib();

  QMSubjectCell();

  const std::shared_ptr<uikit::ImageView>& expandImageView() const { return expandImageView_; }
  const std::shared_ptr<uikit::ImageView>& subjectImageView() const { return subjectImageView_; }
  const std::shared_ptr<uikit::Label>& subjectNameLabel() const { return subjectNameLabel_; }
  const std::shared_ptr<uikit::Label>& subjectDetailLabel() const { return subjectDetailLabel_; }
  const std::shared_ptr<uikit::Label>& sepLabel() const { return sepLabel_; }

  // Stores the node, then draws its subject as the header comment says. A node of anything else only is
  // stored.
  void setNodeData(const std::shared_ptr<TRTreeNodeData>& node) override;

 private:
  std::shared_ptr<uikit::ImageView> expandImageView_;
  std::shared_ptr<uikit::ImageView> subjectImageView_;
  std::shared_ptr<uikit::Label> subjectNameLabel_;
  std::shared_ptr<uikit::Label> subjectDetailLabel_;
  std::shared_ptr<uikit::Label> sepLabel_;
};

}  // namespace learning
