#pragma once

// QMNearlyPlayCell: the recently-played row under a subject, from nib "QMNearlyPlayCell" (reuse identifier
// "QMNearlyPlayCell"): the title "最近一次播放" and, in `timeLabel`, when the subject was last played, as
// stored ("yyyy.MM.dd HH:mm").
//
// Thread-safety: main thread only, like every view.

#include <memory>

#include "learning/tree/TRTreeNodeCell.h"
#include "platform/uikit/views/Label.h"

namespace learning {

class QMNearlyPlayCell : public TRTreeNodeCell {
 public:
  static constexpr char kNibName[] = "QMNearlyPlayCell";
  static constexpr char kReuseIdentifier[] = "QMNearlyPlayCell";
  static constexpr double kRowHeight = 60;

  // Registers nib "QMNearlyPlayCell": one cell with its outlets, for any owner.
  static void registerNib();

  QMNearlyPlayCell();

  const std::shared_ptr<uikit::Label>& timeLabel() const { return timeLabel_; }

  // Stores the node; for a recently-played node, shows its subject's last play time.
  void setNodeData(const std::shared_ptr<TRTreeNodeData>& node) override;

 private:
  std::shared_ptr<uikit::Label> nearlyTitleLabel_;
  std::shared_ptr<uikit::Label> timeLabel_;
};

}  // namespace learning
