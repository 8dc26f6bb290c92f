#pragma once

// QMPullSelectCell: a row of a pull-down selection list: a title label over the whole row and, at its right
// edge, a 30-point-wide image view of the row's height for the mark of the chosen row. `cellTitle` is kept
// for the code that fills the row; the label shows what that code sets on it. Nothing in the application
// creates one yet.
//
// Thread-safety: main thread only, like every view.

#include <memory>
#include <string>

#include "platform/uikit/views/ImageView.h"
#include "platform/uikit/views/Label.h"
#include "platform/uikit/views/View.h"

namespace learning {

class QMPullSelectCell : public uikit::View {
 public:
  static constexpr double kSelectedImageWidth = 30;
  static constexpr double kTitleFontSize = 15;

  explicit QMPullSelectCell(uikit::Rect frame);

  const std::string& cellTitle() const { return cellTitle_; }
  void setCellTitle(std::string title) { cellTitle_ = std::move(title); }
  const std::shared_ptr<uikit::Label>& cellTitleLabel() const { return cellTitleLabel_; }
  const std::shared_ptr<uikit::ImageView>& selectedImageView() const { return selectedImageView_; }

 private:
  std::string cellTitle_;
  std::shared_ptr<uikit::Label> cellTitleLabel_;
  std::shared_ptr<uikit::ImageView> selectedImageView_;
};

}  // namespace learning
