#pragma once

// Small screens built the way the application's screens are: outlets made in code and named after themselves.

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
#include "platform/uikit/views/Label.h"
#include "platform/uikit/views/ProgressView.h"

namespace uikit::testing {

// A sign-in screen: two fields, a sign-in button, a disabled button, a switch, a segment row and a progress
// bar.
class QMSampleLoginController : public ViewController, public TextFieldDelegate {
 public:
  void loadView() override {
    auto view = std::make_shared<View>(Rect(0, 0, 375, 667));
    greeting = outlet("greetingLabel", std::make_shared<Label>(Rect(20, 40, 200, 20)));
    greeting->setText("欢迎");
    userNameTF = outlet("userNameTF", std::make_shared<TextField>(Rect(20, 80, 300, 40)));
    userNameTF->setPlaceholder("请输入用户名");
    userPasswordTF = outlet("userPasswordTF", std::make_shared<TextField>(Rect(20, 130, 300, 40)));
    userPasswordTF->setSecureTextEntry(true);
    loginBtn = outlet("loginBtn", std::make_shared<Button>(Rect(20, 180, 300, 44)));
    loginBtn->setTitle("登录", kControlStateNormal);
    registerBtn = outlet("registerBtn", std::make_shared<Button>(Rect(20, 230, 300, 44)));
    registerBtn->setTitle("注册", kControlStateNormal);
    registerBtn->setEnabled(false);
    rememberSwitch = outlet("rememberSwitch", std::make_shared<Switch>(Rect(20, 280, 0, 0)));
    kindSegment =
        outlet("kindSegment", std::make_shared<SegmentedControl>(std::vector<std::string>{"课程", "直播"}));
    kindSegment->setSelectedSegmentIndex(0);
    loadingBar = outlet("loadingBar", std::make_shared<ProgressView>(Rect(20, 320, 300, 4)));
    loadingBar->setProgress(0.35f);
    for (const std::shared_ptr<View>& outletView :
         std::vector<std::shared_ptr<View>>{greeting, userNameTF, userPasswordTF, loginBtn, registerBtn,
                                            rememberSwitch, kindSegment, loadingBar}) {
      view->addSubview(outletView);
    }
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

// A list of subjects in a table whose rows can be swiped away.
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
      cell = std::make_shared<TableViewCell>(TableViewCellStyle::kSubtitle, "subject");
    }
    cell->textLabel().setText(subjects[static_cast<std::size_t>(path.row)]);
    cell->detailTextLabel()->setText("3章节");
    return cell;
  }
  bool canEditRowAtIndexPath(TableView&, const IndexPath&) override { return true; }
  void commitEditingStyle(TableView& table, TableViewCellEditingStyle, const IndexPath& path) override {
    subjects.erase(subjects.begin() + path.row);
    table.deleteRowsAtIndexPaths({path}, TableViewRowAnimation::kFade);
  }
  void didSelectRowAtIndexPath(TableView&, const IndexPath& path) override {
    selectedRows.push_back(path.row);
  }

  std::shared_ptr<TableView> subjectTable;
  std::vector<std::string> subjects{"数学", "英语", "政治"};
  std::vector<std::int64_t> selectedRows;
};

}  // namespace uikit::testing
