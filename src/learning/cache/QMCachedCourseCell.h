#pragma once

// QMCachedCourseCell: a row of the downloaded page of the offline cache screen, loaded from the nib
// "QMCachedCourseCell" (also its reuse identifier). It shows a course node's name in the colours of its
// level; lessons join up as one block under their parent, with a shadow on the first and no separator under
// the last.
//
// Thread-safety: main thread only, like every view.

#include <memory>

#include "learning/tree/TRTreeNodeCell.h"
#include "platform/uikit/views/ImageView.h"
#include "platform/uikit/views/Label.h"

namespace learning {

class QMCachedCourseCell : public TRTreeNodeCell {
 public:
  static constexpr char kNibName[] = "QMCachedCourseCell";

  QMCachedCourseCell();

  // Registers the nib "QMCachedCourseCell", whose one top-level view is a new cell. Call once at start-up.
  static void registerNib();

  const std::shared_ptr<uikit::Label>& courseNameLabel() const { return courseNameLabel_; }
  const std::shared_ptr<uikit::Label>& sepLabel() const { return sepLabel_; }
  const std::shared_ptr<uikit::ImageView>& shadowImageView() const { return shadowImageView_; }

  // Stores the node, then draws it when it holds a course.
  void setNodeData(const std::shared_ptr<TRTreeNodeData>& node) override;
  void layoutSubviews() override;

 private:
  std::shared_ptr<uikit::Label> courseNameLabel_;
  std::shared_ptr<uikit::Label> sepLabel_;
  std::shared_ptr<uikit::ImageView> shadowImageView_;
};

}  // namespace learning
