#pragma once

// QMDLStageCell: a row of the download area's stage list (reuse identifier "QMDLStageCell"): the stage's
// name, and its downloading and downloaded counts, each after its caption.
//
// Thread-safety: main thread only, like every view.

#include <memory>

#include "platform/uikit/tables/TableViewCell.h"

namespace learning {

class QMDLStageCell : public uikit::TableViewCell {
 public:
  static constexpr char kReuseIdentifier[] = "QMDLStageCell";

  QMDLStageCell();

  const std::shared_ptr<uikit::Label>& stageNameLabel() const { return stageNameLabel_; }
  const std::shared_ptr<uikit::Label>& cachedLabel() const { return cachedLabel_; }
  const std::shared_ptr<uikit::Label>& cachingLabel() const { return cachingLabel_; }

 private:
  std::shared_ptr<uikit::Label> stageNameLabel_;
  std::shared_ptr<uikit::Label> cachedLabel_;
  std::shared_ptr<uikit::Label> cachingLabel_;
};

}  // namespace learning
