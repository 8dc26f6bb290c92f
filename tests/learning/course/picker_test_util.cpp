#include "learning/course/picker_test_util.h"

#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMFileCacheInfo.h"
#include "learning/course/QMCourseStoryboard.h"
#include "platform/foundation/formats/JSONSerialization.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/driver/Driver.h"
#include "platform/uikit/storyboard/Storyboard.h"

namespace learning::pickertest {

PickerRoad::PickerRoad() {
  app::QMCoreDataHelper& store = app::QMCoreDataHelper::sharedInstance();
  // Type 1 is a chapter or a unit, type 2 a lesson.
  store.createCourseWithDic(*ns::JSONSerialization::JSONObjectWithData(R"({
      "nodeId": "C2", "name": "第二章", "type": 1, "children": [
        {"nodeId": "U1", "name": "第一节", "type": 1, "children": [
          {"nodeId": "L4", "name": "第4课", "type": 2, "videoId": "v4"},
          {"nodeId": "L5", "name": "第5课", "type": 2, "videoId": "v5"}]},
        {"nodeId": "U2", "name": "第二节", "type": 1, "children": [
          {"nodeId": "L6", "name": "第6课", "type": 2, "videoId": "v6"}]}]})"),
                            road_.stage());
  store.createCourseWithDic(*ns::JSONSerialization::JSONObjectWithData(R"({
      "nodeId": "C3", "name": "第三章", "type": 1, "children": [
        {"nodeId": "L7", "name": "第7课", "type": 2, "videoId": "v7"}]})"),
                            road_.stage());
  store.saveContext();
  window_->setRootViewController(host_);
  window_->makeKeyAndVisible();
  ns::RunLoop::main().runPending();
}

PickerRoad::~PickerRoad() {
  // Whatever the picker left on the clock runs now, before the road lets go of the process's objects.
  ns::RunLoop::main().runPending();
}

std::shared_ptr<app::QMCourse> PickerRoad::course(const std::string& courseID) {
  const auto found = app::QMCoreDataHelper::sharedInstance().fetchEntitiesOf<app::QMCourse>(
      cd::Predicate::equals("courseID", courseID));
  return found.empty() ? nullptr : found.front();
}

std::int64_t PickerRoad::status(const std::string& courseID) {
  const auto lesson = course(courseID);
  const auto record = lesson ? lesson->fileCacheInfo() : nullptr;
  return record ? record->status().value_or(0) : -1;
}

void PickerRoad::setStatus(const std::string& courseID, std::int64_t status) {
  course(courseID)->fileCacheInfo()->setStatus(status);
  app::QMCoreDataHelper::sharedInstance().saveContext();
}

std::shared_ptr<QMDLBeginController> PickerRoad::presentPicker() {
  const auto storyboard = uikit::Storyboard::storyboardWithName(QMCourseStoryboard::kName);
  const auto navigation = std::dynamic_pointer_cast<uikit::NavigationController>(
      storyboard.value().instantiateInitialViewController().value());
  const auto picker = std::dynamic_pointer_cast<QMDLBeginController>(navigation->viewControllers().front());
  picker->setMyStageModel(road_.stage());
  host_->presentViewController(navigation, true);
  ns::RunLoop::main().runPending();
  return picker;
}

void PickerRoad::advance(std::chrono::milliseconds by) {
  clock_.advance(by);
  ns::RunLoop::main().runPending();
}

int PickerRoad::countOnScreen(const std::string& text) {
  const std::string screen = uikit::Driver::screenText();
  int count = 0;
  for (auto at = screen.find(text); at != std::string::npos; at = screen.find(text, at + text.size())) {
    ++count;
  }
  return count;
}

}  // namespace learning::pickertest
