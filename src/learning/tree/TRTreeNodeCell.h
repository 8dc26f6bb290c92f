#pragma once

// TRTreeNodeCell: the base cell of tree rows. The tree view gives it the node it shows (held weakly) every
// time it hands the cell out; subclasses lay out `foldButton` and `titleLabel` (or outlets of their own) and
// draw the node in setNodeData().
//
// The cell never shows a selection highlight once awoken from its nib, and while a swipe shows its actions
// it hides the platform's delete buttons, so that the swipe action's own background shows instead.
//
// Thread-safety: main thread only, like every view.

#include <memory>
#include <string>

#include "platform/uikit/controls/Button.h"
#include "platform/uikit/tables/TableViewCell.h"
#include "platform/uikit/views/Label.h"

namespace learning {

class TRTreeNodeData;

class TRTreeNodeCell : public uikit::TableViewCell {
 public:
  explicit TRTreeNodeCell(std::string reuseIdentifier);

  // The node shown, or nullptr (none yet, or released).
  std::shared_ptr<TRTreeNodeData> nodeData() const { return nodeData_.lock(); }
  // Stores the node; subclasses draw it after calling this.
  virtual void setNodeData(const std::shared_ptr<TRTreeNodeData>& node);

  // The fold button and the title, nullptr until a subclass or its nib sets them.
  const std::shared_ptr<uikit::Button>& foldButton() const { return foldButton_; }
  void setFoldButton(std::shared_ptr<uikit::Button> button) { foldButton_ = std::move(button); }
  const std::shared_ptr<uikit::Label>& titleLabel() const { return titleLabel_; }
  void setTitleLabel(std::shared_ptr<uikit::Label> label) { titleLabel_ = std::move(label); }

  void awakeFromNib() override;
  void willTransitionToState(uikit::TableViewCellStateMask state) override;

 private:
  std::weak_ptr<TRTreeNodeData> nodeData_;
  std::shared_ptr<uikit::Button> foldButton_;
  std::shared_ptr<uikit::Label> titleLabel_;
};

}  // namespace learning
