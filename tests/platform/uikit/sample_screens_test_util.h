#pragma once

// Small screens built the way the application's screens are: outlets made in code and named after themselves.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/controllers/BarButtonItem.h"
#include "platform/uikit/controllers/ViewController.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/controls/SegmentedControl.h"
#include "platform/uikit/controls/Switch.h"
#include "platform/uikit/controls/TextField.h"
#include "platform/uikit/storyboard/Outlet.h"
#include "platform/uikit/tables/TableView.h"
#include "platform/uikit/tables/TableViewCellDeleteConfirmationControl.h"
#include "platform/uikit/views/Label.h"
#include "platform/uikit/views/ProgressView.h"

namespace uikit::testing {

// A sign-in screen: two fields, a sign-in button, a disabled button, a switch, segments and a progress bar.
class QMSampleLoginController : public ViewController, public TextFieldDelegate {
 public:
  void loadView() override {
    auto view = std::make_shared<View>(Rect(0, 0, 375, 667));
    auto add = [&view](std::string name, auto control) {
      view->addSubview(outlet(std::move(name), control));
      return control;
    };
    greeting = add("greetingLabel", std::make_shared<Label>(Rect(20, 40, 200, 20)));
    greeting->setText("欢迎");
    userNameTF = add("userNameTF", std::make_shared<TextField>(Rect(20, 80, 300, 40)));
    userNameTF->setPlaceholder("请输入用户名");
    userPasswordTF = add("userPasswordTF", std::make_shared<TextField>(Rect(20, 130, 300, 40)));
    userPasswordTF->setSecureTextEntry(true);
    loginBtn = add("loginBtn", std::make_shared<Button>(Rect(20, 180, 300, 44)));
    loginBtn->setTitle("登录", kControlStateNormal);
    registerBtn = add("registerBtn", std::make_shared<Button>(Rect(20, 230, 300, 44)));
    registerBtn->setTitle("注册", kControlStateNormal);
    registerBtn->setEnabled(false);
    rememberSwitch = add("rememberSwitch", std::make_shared<Switch>(Rect(20, 280, 0, 0)));
    kindSegment =
        add("kindSegment", std::make_shared<SegmentedControl>(std::vector<std::string>{"课程", "直播"}));
    kindSegment->setSelectedSegmentIndex(0);
    loadingBar = add("loadingBar", std::make_shared<ProgressView>(Rect(20, 320, 300, 4)));
    loadingBar->setProgress(0.35f);
    setView(std::move(view));
  }

  void viewDidLoad() override {
    auto self = std::static_pointer_cast<QMSampleLoginController>(shared_from_this());
    loginBtn->addTarget(self, &QMSampleLoginController::goLoginAction, kControlEventTouchUpInside);
    kindSegment->addTarget(self, &QMSampleLoginController::kindChanged, kControlEventValueChanged);
    userNameTF->setDelegate(std::static_pointer_cast<TextFieldDelegate>(self));
  }

  void goLoginAction(Button&) { ++loginTaps; }
  void goBackAction(BarButtonItem&) { ++backTaps; }
  void kindChanged(SegmentedControl& segment) { kinds.push_back(segment.selectedSegmentIndex()); }

  bool textFieldShouldChangeCharactersInRange(TextField&, std::size_t, std::size_t,
                                              const std::string& replacement) override {
    return replacement != "refused";
  }
  bool textFieldShouldReturn(TextField&) override {
    ++returns;
    return true;
  }

  std::shared_ptr<Label> greeting;
  std::shared_ptr<TextField> userNameTF;
  std::shared_ptr<TextField> userPasswordTF;
  std::shared_ptr<Button> loginBtn;
  std::shared_ptr<Button> registerBtn;
  std::shared_ptr<Switch> rememberSwitch;
  std::shared_ptr<SegmentedControl> kindSegment;
  std::shared_ptr<ProgressView> loadingBar;
  int loginTaps = 0;
  int backTaps = 0;
  int returns = 0;
  std::vector<int> kinds;
};

// Records the editing states the table moves it through.
class SubjectCell : public TableViewCell {
 public:
  SubjectCell() : TableViewCell(TableViewCellStyle::kSubtitle, "subject") {}
  void willTransitionToState(TableViewCellStateMask state) override {
    states.push_back(state);
    const bool showsActions = std::any_of(subviews().begin(), subviews().end(), [](const auto& view) {
      return dynamic_cast<TableViewCellDeleteConfirmationControl*>(view.get()) != nullptr;
    });
    actionsShown.push_back(showsActions);
  }
  std::vector<TableViewCellStateMask> states;
  // Whether the swipe's actions were in the cell at each state change.
  std::vector<bool> actionsShown;
};

// A list of subjects whose first row is 60 high and whose rows can be swiped away while `editable`; it
// records what the table tells it in `events`.
class QMSampleListController : public ViewController, public TableViewDataSource, public TableViewDelegate {
 public:
  void loadView() override {
    auto view = std::make_shared<View>(Rect(0, 0, 375, 667));
    subjectTable = outlet("subjectTable", std::make_shared<TableView>(Rect(0, 64, 375, 603)));
    view->addSubview(subjectTable);
    setView(std::move(view));
  }
  void viewDidLoad() override {
    auto self = std::static_pointer_cast<QMSampleListController>(shared_from_this());
    subjectTable->setDataSource(std::static_pointer_cast<TableViewDataSource>(self));
    subjectTable->setDelegate(std::static_pointer_cast<TableViewDelegate>(self));
  }

  std::int64_t numberOfRowsInSection(TableView&, std::int64_t) override {
    return static_cast<std::int64_t>(subjects.size());
  }
  std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, const IndexPath& path) override {
    auto cell = table.dequeueReusableCellWithIdentifier("subject");
    if (!cell) {
      cell = std::make_shared<SubjectCell>();
      ++cellsMade;
    }
    cell->textLabel().setText(subjects[static_cast<std::size_t>(path.row)]);
    cell->detailTextLabel()->setText("3章节");
    return cell;
  }
  std::optional<double> heightForRowAtIndexPath(TableView&, const IndexPath& path) override {
    return path.row == 0 ? std::optional<double>(60) : std::nullopt;
  }
  void didSelectRowAtIndexPath(TableView&, const IndexPath& path) override {
    events.push_back("select " + describe(path));
  }
  void didDeselectRowAtIndexPath(TableView&, const IndexPath& path) override {
    events.push_back("deselect " + describe(path));
  }
  bool canEditRowAtIndexPath(TableView&, const IndexPath&) override { return editable; }
  void scrollViewDidScroll(ScrollView& scrollView) override {
    events.push_back("scroll " + std::to_string(static_cast<int>(scrollView.contentOffset().y)));
  }
  void commitEditingStyle(TableView& table, TableViewCellEditingStyle, const IndexPath& path) override {
    events.push_back("commit " + describe(path));
    subjects.erase(subjects.begin() + path.row);
    table.deleteRowsAtIndexPaths({path}, TableViewRowAnimation::kFade);
  }
  std::optional<std::vector<std::shared_ptr<TableViewRowAction>>> editActionsForRowAtIndexPath(
      TableView&, const IndexPath&) override {
    return customActions;
  }

  std::shared_ptr<TableView> subjectTable;
  std::vector<std::string> subjects{"数学", "英语", "政治"};
  int cellsMade = 0;
  bool editable = true;
  std::vector<std::string> events;
  std::optional<std::vector<std::shared_ptr<TableViewRowAction>>> customActions;
};

}  // namespace uikit::testing
