#pragma once

// learning::ZBPlayerNavigationBar: the player's top bar: the back button on the left, the lesson's title
// beside it, and, in full screen only, the playback-rate button on the right showing the rate ("1.0").
//
// Thread-safety: main thread only, like every view.

#include <memory>
#include <string>

#include "platform/uikit/controls/Button.h"
#include "platform/uikit/views/Label.h"
#include "platform/uikit/views/View.h"

namespace learning {

class ZBPlayerNavigationBar : public uikit::View {
 public:
  explicit ZBPlayerNavigationBar(uikit::Rect frame = {});

  bool isFull() const { return isFull_; }
  void setIsFull(bool full) { isFull_ = full; }
  float rate() const { return rate_; }
  // Shows `rate` with one decimal on the rate button.
  void setRate(float rate);
  const std::string& title() const { return title_; }
  void setTitle(std::string title);

  const std::shared_ptr<uikit::Button>& backBtn() const { return backBtn_; }
  const std::shared_ptr<uikit::Button>& rateBtn() const { return rateBtn_; }
  // Made but never shown.
  const std::shared_ptr<uikit::Button>& infoBtn() const { return infoBtn_; }
  const uikit::Label& titleLabel() const { return *tlabel_; }

  void drawRect(uikit::Rect rect) override;

 private:
  std::shared_ptr<uikit::Label> tlabel_;
  std::shared_ptr<const uikit::Image> imgBack_;
  std::shared_ptr<const uikit::Image> imgRate_;
  std::shared_ptr<const uikit::Image> imgInfo_;
  bool isFull_ = false;
  float rate_ = 1.0F;
  std::string title_;
  std::shared_ptr<uikit::Button> backBtn_;
  std::shared_ptr<uikit::Button> rateBtn_;
  std::shared_ptr<uikit::Button> infoBtn_;
};

}  // namespace learning
