#pragma once

// QMCachingCourseCell: a row of the downloading page of the offline cache screen, loaded from the nib
// "QMCachingCourseCell" (also its reuse identifier). A chapter or unit shows its name in the colours of its
// level. A lesson shows a block with its name, its download status ("准备下载", "正在下载", "暂停下载" with
// their pictures, or the failure text) and a progress bar, and follows its download record live: every
// change of the record's status or progress redraws the block at once.
//
// Thread-safety: main thread only, like every view (the store announces changes on the main thread).

#include <cstdint>
#include <memory>
#include <optional>

#include "app/store/QMFileCacheInfo.h"
#include "learning/tree/TRTreeNodeCell.h"
#include "platform/foundation/notify/KeyValueObservation.h"
#include "platform/uikit/views/ImageView.h"
#include "platform/uikit/views/Label.h"
#include "platform/uikit/views/ProgressView.h"

namespace learning {

class QMCachingCourseCell : public TRTreeNodeCell {
 public:
  static constexpr char kNibName[] = "QMCachingCourseCell";
  static constexpr char kWaitingText[] = "准备下载";
  static constexpr char kDownloadingText[] = "正在下载";
  static constexpr char kPausedText[] = "暂停下载";
  static constexpr char kFailedText[] = "下载失败";
  static constexpr char kWaitingImage[] = "DL_wait";
  static constexpr char kDownloadingImage[] = "DL_caching";
  static constexpr char kPausedImage[] = "DL_pause";

  QMCachingCourseCell();

  // Registers the nib "QMCachingCourseCell", whose one top-level view is a new cell. Call once at start-up.
  static void registerNib();

  const std::shared_ptr<uikit::Label>& courseNameLabel() const { return courseNameLabel_; }
  const std::shared_ptr<uikit::Label>& sepLabel() const { return sepLabel_; }
  const std::shared_ptr<uikit::ImageView>& shadowImageView() const { return shadowImageView_; }
  const std::shared_ptr<uikit::View>& progressView() const { return progressView_; }
  const std::shared_ptr<uikit::Label>& progressNameLabel() const { return progressNameLabel_; }
  const std::shared_ptr<uikit::ImageView>& statusImageView() const { return statusImageView_; }
  const std::shared_ptr<uikit::Label>& statusLabel() const { return statusLabel_; }
  const std::shared_ptr<uikit::ProgressView>& progressBar() const { return progressBar_; }
  const std::shared_ptr<uikit::Label>& failedLabel() const { return failedLabel_; }
  // The record the cell follows, or nullptr.
  const std::shared_ptr<app::QMFileCacheInfo>& fileInfo() const { return fileInfo_; }

  // Stores the node, then draws it when it holds a course; a lesson's record is followed from then on
  // (the record followed before is let go).
  void setNodeData(const std::shared_ptr<TRTreeNodeData>& node) override;
  // Shows `status` (1 waiting, 2 downloading, 3 paused, 4 failed); any other value changes nothing.
  void changeRightStatus(std::int64_t status);
  void layoutSubviews() override;

 private:
  void followRecord(const std::shared_ptr<app::QMFileCacheInfo>& record);
  void showProgress(std::optional<std::int64_t> progress);

  std::shared_ptr<uikit::Label> courseNameLabel_;
  std::shared_ptr<uikit::Label> sepLabel_;
  std::shared_ptr<uikit::ImageView> shadowImageView_;
  std::shared_ptr<uikit::View> progressView_;
  std::shared_ptr<uikit::Label> progressNameLabel_;
  std::shared_ptr<uikit::ImageView> statusImageView_;
  std::shared_ptr<uikit::Label> statusLabel_;
  std::shared_ptr<uikit::ProgressView> progressBar_;
  std::shared_ptr<uikit::Label> failedLabel_;
  std::shared_ptr<app::QMFileCacheInfo> fileInfo_;
  ns::KeyValueObservation statusObservation_;
  ns::KeyValueObservation progressObservation_;
};

}  // namespace learning
