#include "learning/course/QMCommonTreeCell.h"

#include "app/helpers/QMHelpler.h"
#include "app/store/QMCourse.h"
#include "app/store/QMStage.h"
#include "learning/course/QMListenController.h"
#include "learning/tree/TRTreeNodeData.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/drawing/AttributedString.h"
#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/storyboard/Nib.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace learning {

namespace {

uikit::Color hex(std::string_view text) {
  return app::QMHelpler::colorWithHexString(text);
}

// The children of `course`'s parent, its parent course's or its stage's, in their saved order.
std::vector<std::shared_ptr<app::QMCourse>> siblingsOf(const app::QMCourse& course) {
  if (const std::shared_ptr<app::QMCourse> parent = course.upLevelCourse()) {
    return parent->sortedCourseArray();
  }
  const std::shared_ptr<app::QMStage> stage = course.ownByStage();
  return stage ? stage->sortedCourseArray() : std::vector<std::shared_ptr<app::QMCourse>>{};
}

bool isFirstChild(const app::QMCourse& course) {
  const auto siblings = siblingsOf(course);
  return !siblings.empty() && siblings.front().get() == &course;
}

bool isLastChild(const app::QMCourse& course) {
  const auto siblings = siblingsOf(course);
  return !siblings.empty() && siblings.back().get() == &course;
}

// "<name>\n讲师：<teacher>": the name in 15 points and near white, the teacher's line in 14 points and grey.
uikit::AttributedString chapterTitle(const app::QMCourse& course) {
  uikit::AttributedString title(course.courseName().value_or(""), {.font = uikit::Font::systemFontOfSize(15),
                                                                   .foregroundColor = hex("fcfbfb")});
  title.append(
      uikit::AttributedString("\n讲师：" + course.teacherName().value_or(""),
                              {.font = uikit::Font::systemFontOfSize(14), .foregroundColor = hex("989898")}));
  return title;
}

}  // namespace

void QMCommonTreeCell::registerNib() {
  uikit::Nib::registerNib(kNibName, [](const std::shared_ptr<ns::Object>& /*owner*/) {
    return std::vector<std::shared_ptr<uikit::View>>{std::make_shared<QMCommonTreeCell>()};
  });
}

QMCommonTreeCell::QMCommonTreeCell() : TRTreeNodeCell(kReuseIdentifier) {
  const double width = uikit::Screen::mainScreen().bounds().width();
  setFrame(uikit::Rect(0, 0, width, kRowHeight));
  shadowImageView_ =
      uikit::outlet("shadowImageView", std::make_shared<uikit::ImageView>(uikit::Rect(0, 0, width, 4)));
  shadowImageView_->setImage(uikit::Image::imageNamed("play_shadow"));
  tagImageView_ =
      uikit::outlet("tagImageView", std::make_shared<uikit::ImageView>(uikit::Rect(15, 20, 20, 20)));
  nameLabel_ =
      uikit::outlet("nameLabel", std::make_shared<uikit::Label>(uikit::Rect(45, 0, width - 60, kRowHeight)));
  nameLabel_->setNumberOfLines(2);
  sepLabel_ =
      uikit::outlet("sepLabel", std::make_shared<uikit::Label>(uikit::Rect(0, kRowHeight - 1, width, 1)));
  for (const std::shared_ptr<uikit::View>& part : std::initializer_list<std::shared_ptr<uikit::View>>{
           shadowImageView_, tagImageView_, nameLabel_, sepLabel_}) {
    contentView().addSubview(part);
  }
}

void QMCommonTreeCell::setNodeData(const std::shared_ptr<TRTreeNodeData>& node) {
  QM_DCHECK_MAIN_THREAD();
  TRTreeNodeCell::setNodeData(node);
  showsPlaying_ = false;
  if (!node) {
    return;
  }
  setIndentationLevel(static_cast<std::int64_t>(node->level()) - 1);
  if (const auto stage = std::dynamic_pointer_cast<app::QMStage>(node->dataModel())) {
    setBackgroundColor(hex("#434350"));
    tagImageView_->setImage(uikit::Image::imageNamed("home_stage"));
    nameLabel_->setText(stage->stageName().value_or(""));
    nameLabel_->setFont(uikit::Font::systemFontOfSize(15));
    sepLabel_->setBackgroundColor(hex("#36343b"));
    return;
  }
  const auto course = std::dynamic_pointer_cast<app::QMCourse>(node->dataModel());
  if (!course) {
    return;
  }
  const std::shared_ptr<QMListenController> screen = superController();
  showsPlaying_ = screen && screen->playingCourse() == course;
  switch (node->level()) {
    case 1:
      setBackgroundColor(hex("#565663"));
      tagImageView_->setImage(uikit::Image::imageNamed("play_chapter"));
      nameLabel_->setAttributedText(chapterTitle(*course));
      shadowImageView_->setHidden(true);
      sepLabel_->setBackgroundColor(uikit::Color::hsba(0.667, 0.165, 0.31, 1));
      return;
    case 2:
      setBackgroundColor(hex("#434350"));
      tagImageView_->setImage(uikit::Image::imageNamed("play_unit"));
      shadowImageView_->setHidden(!isFirstChild(*course));
      sepLabel_->setBackgroundColor(uikit::Color::hsba(0.714, 0.119, 0.231, 1));
      break;
    case 3:
      setBackgroundColor(hex("#36343b"));
      tagImageView_->setImage(uikit::Image::imageNamed(showsPlaying_ ? "play_course_on" : "play_course_off"));
      shadowImageView_->setHidden(!isFirstChild(*course));
      sepLabel_->setBackgroundColor(isLastChild(*course) ? uikit::Color::clear() : hex("#262528"));
      break;
    default:
      break;
  }
  nameLabel_->setText(course->courseName().value_or(""));
  nameLabel_->setFont(uikit::Font::systemFontOfSize(15));
}

std::string QMCommonTreeCell::visibleText() const {
  return showsPlaying_ ? kPlayingMark : "";
}

}  // namespace learning
