#include "learning/cache/QMCachingCourseCell.h"

#include <algorithm>
#include <string>

#include "app/helpers/QMHelpler.h"
#include "app/store/QMCourse.h"
#include "app/store/QMDownloadStatus.h"
#include "learning/cache/QMCacheCellStyle.h"
#include "learning/tree/TRTreeNodeData.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/storyboard/Nib.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace learning {
namespace {

// The lesson block's layout: the name on the upper half, the status picture and text on the right, the
// progress bar along the lower edge.
constexpr double kStatusWidth = 90;
constexpr double kStatusIconSide = 16;
constexpr double kProgressBarHeight = 2;
constexpr double kProgressBarBottom = 12;

}  // namespace

QMCachingCourseCell::QMCachingCourseCell()
    : TRTreeNodeCell(kNibName),
      courseNameLabel_(uikit::outlet("courseNameLabel", std::make_shared<uikit::Label>())),
      sepLabel_(uikit::outlet("sepLabel", std::make_shared<uikit::Label>())),
      shadowImageView_(uikit::outlet("shadowImageView", std::make_shared<uikit::ImageView>())),
      progressView_(uikit::outlet("progressView", std::make_shared<uikit::View>())),
      progressNameLabel_(uikit::outlet("progressNameLabel", std::make_shared<uikit::Label>())),
      statusImageView_(uikit::outlet("statusImageView", std::make_shared<uikit::ImageView>())),
      statusLabel_(uikit::outlet("statusLabel", std::make_shared<uikit::Label>())),
      progressBar_(uikit::outlet("progressBar", std::make_shared<uikit::ProgressView>())),
      failedLabel_(uikit::outlet("failedLabel", std::make_shared<uikit::Label>())) {
  setFrame(uikit::Rect(0, 0, 375, cachecell::kRowHeight));
  courseNameLabel_->setTextColor(uikit::Color::white(1));
  progressNameLabel_->setTextColor(uikit::Color::white(1));
  failedLabel_->setText(kFailedText);
  failedLabel_->setHidden(true);
  for (const std::shared_ptr<uikit::View>& part : std::initializer_list<std::shared_ptr<uikit::View>>{
           progressNameLabel_, statusImageView_, statusLabel_, failedLabel_, progressBar_}) {
    progressView_->addSubview(part);
  }
  progressView_->setHidden(true);
  for (const std::shared_ptr<uikit::View>& part : std::initializer_list<std::shared_ptr<uikit::View>>{
           shadowImageView_, courseNameLabel_, progressView_, sepLabel_}) {
    contentView().addSubview(part);
  }
}

void QMCachingCourseCell::registerNib() {
  QM_DCHECK_MAIN_THREAD();
  uikit::Nib::registerNib(kNibName, [](const std::shared_ptr<ns::Object>&) {
    return std::vector<std::shared_ptr<uikit::View>>{std::make_shared<QMCachingCourseCell>()};
  });
}

void QMCachingCourseCell::setNodeData(const std::shared_ptr<TRTreeNodeData>& node) {
  TRTreeNodeCell::setNodeData(node);
  const std::shared_ptr<app::QMCourse> course = cachecell::courseOf(node);
  if (!course) {
    return;
  }
  const std::int64_t level = course->level().value_or(0);
  cachecell::paintRow(*this, *courseNameLabel_, *course, level);
  const std::shared_ptr<app::QMCourse> parent = course->upLevelCourse();
  const cachecell::PlaceAmongSiblings place = cachecell::placeOf(
      *course, parent ? parent->cachingCourse() : std::vector<std::shared_ptr<app::QMCourse>>{});
  // A lesson shows its block at whatever depth the stage's tree puts it.
  if (!course->isLesson()) {
    // A reused lesson cell may come back as a chapter or a unit: it then follows no record.
    followRecord(nullptr);
    progressView_->setHidden(true);
    courseNameLabel_->setHidden(false);
    shadowImageView_->setHidden(!(level == 2 && place.first));
    return;
  }
  // The lesson block covers the row, its name included.
  progressView_->setHidden(false);
  courseNameLabel_->setHidden(true);
  progressView_->setBackgroundColor(*cachecell::levelBackground(3));
  sepLabel_->setBackgroundColor(place.last ? uikit::Color::clear()
                                           : app::QMHelpler::colorWithHexString("#434350"));
  progressNameLabel_->setText(course->courseName().value_or(""));
  followRecord(course->fileCacheInfo());
  shadowImageView_->setHidden(!place.first);
}

void QMCachingCourseCell::followRecord(const std::shared_ptr<app::QMFileCacheInfo>& record) {
  statusObservation_.invalidate();
  progressObservation_.invalidate();
  fileInfo_ = record;
  if (!record) {
    return;
  }
  changeRightStatus(record->status().value_or(app::kQMDownloadNotQueued));
  showProgress(record->progress());
  // The observations end with the cell, so their callbacks never reach a cell that is gone.
  statusObservation_ = record->observe(
      std::string(app::QMFileCacheInfo::kStatusKey),
      [this](const ns::KeyValueChange& change) { changeRightStatus(change.newValue.integerValue()); });
  progressObservation_ = record->observe(
      std::string(app::QMFileCacheInfo::kProgressKey),
      [this](const ns::KeyValueChange& change) { showProgress(change.newValue.integerValue()); });
}

void QMCachingCourseCell::showProgress(std::optional<std::int64_t> progress) {
  progressBar_->setProgress(static_cast<float>(std::clamp<std::int64_t>(progress.value_or(0), 0, 100)) /
                            100.0f);
}

void QMCachingCourseCell::changeRightStatus(std::int64_t status) {
  QM_DCHECK_MAIN_THREAD();
  const char* text = nullptr;
  const char* image = nullptr;
  switch (status) {
    case app::kQMDownloadWaiting:
      text = kWaitingText;
      image = kWaitingImage;
      break;
    case app::kQMDownloadRunning:
      text = kDownloadingText;
      image = kDownloadingImage;
      break;
    case app::kQMDownloadPaused:
      text = kPausedText;
      image = kPausedImage;
      break;
    case app::kQMDownloadFailed:
      failedLabel_->setHidden(false);
      statusLabel_->setHidden(true);
      statusImageView_->setHidden(true);
      return;
    default:
      return;
  }
  failedLabel_->setHidden(true);
  statusLabel_->setHidden(false);
  statusImageView_->setHidden(false);
  statusLabel_->setText(text);
  statusImageView_->setImage(uikit::Image::imageNamed(image));
}

void QMCachingCourseCell::layoutSubviews() {
  TRTreeNodeCell::layoutSubviews();
  const uikit::Rect bounds = this->bounds();
  const std::shared_ptr<TRTreeNodeData> node = nodeData();
  const std::size_t treeLevel = node ? node->level() : 1;
  cachecell::layoutRowParts(bounds, treeLevel, *shadowImageView_, *courseNameLabel_, *sepLabel_);
  progressView_->setFrame(bounds);
  const uikit::Rect name = cachecell::nameFrame(bounds, treeLevel);
  const double statusX = std::max(name.minX(), bounds.width() - cachecell::kInset - kStatusWidth);
  progressNameLabel_->setFrame(
      uikit::Rect(name.minX(), 0, std::max(0.0, statusX - name.minX()), bounds.height() / 2));
  statusImageView_->setFrame(
      uikit::Rect(statusX, (bounds.height() / 2 - kStatusIconSide) / 2, kStatusIconSide, kStatusIconSide));
  statusLabel_->setFrame(
      uikit::Rect(statusX + kStatusIconSide + 4, 0, kStatusWidth - kStatusIconSide - 4, bounds.height() / 2));
  failedLabel_->setFrame(uikit::Rect(statusX, 0, kStatusWidth, bounds.height() / 2));
  progressBar_->setFrame(uikit::Rect(name.minX(), bounds.height() - kProgressBarBottom,
                                     std::max(0.0, bounds.width() - name.minX() - cachecell::kInset),
                                     kProgressBarHeight));
}

}  // namespace learning
