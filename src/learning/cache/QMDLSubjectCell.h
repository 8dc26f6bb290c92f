#pragma once

// QMDLSubjectCell: a row of the download area's subject list (reuse identifier "QMDLSubjectCell"): the
// subject's icon and name, and its downloading and downloaded counts, each after its caption.
//
// Thread-safety: main thread only, like every view.

#include <memory>

#include "platform/uikit/tables/TableViewCell.h"

namespace learning {

class QMDLSubjectCell : public uikit::TableViewCell {
 public:
  static constexpr char kReuseIdentifier[] = "QMDLSubjectCell";

  QMDLSubjectCell();

  const std::shared_ptr<uikit::ImageView>& subjectImageView() const { return subjectImageView_; }
  const std::shared_ptr<uikit::Label>& subjectNameLabel() const { return subjectNameLabel_; }
  const std::shared_ptr<uikit::Label>& cachingLabel() const { return cachingLabel_; }
  const std::shared_ptr<uikit::Label>& cachedLabel() const { return cachedLabel_; }

 private:
  std::shared_ptr<uikit::ImageView> subjectImageView_;
  std::shared_ptr<uikit::Label> subjectNameLabel_;
  std::shared_ptr<uikit::Label> cachingLabel_;
  std::shared_ptr<uikit::Label> cachedLabel_;
};

}  // namespace learning
