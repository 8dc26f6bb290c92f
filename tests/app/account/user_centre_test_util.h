#pragma once

// UserCentreTest: the application launched with the sample learner signed in (the drawer is the root), the
// sample back end on loopback, and helpers to open the user-centre screens and to serve order lists of a
// chosen length.

#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "app/session/QMUser.h"
#include "app/shell/shell_test_util.h"
#include "app/user/QMUserCentreEntries.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "sample_backend/api/ApiReply.h"

namespace app::usercentretest {

inline constexpr char kOrderPath[] = "/pravik/order";
inline constexpr char kCancelPath[] = "/pravik/order/cancel";

class UserCentreTest : public shelltest::ShellTest {
 protected:
  // The media service serves the avatar.
  UserCentreTest() : shelltest::ShellTest(apptest::AppTestEnvironment::Media::kServed) {}

  void SetUp() override {
    const apptest::AppTestEnvironment::Session session = app_.postLogin();
    const std::shared_ptr<QMUser>& user = QMUser::sharedInstance();
    user->setUserSid(session.sid);
    user->setUserId(session.userId);
    user->setUserLoginName(apptest::kLearnerName);
    launch();
    ASSERT_TRUE(delegate_->drawer()) << screen();
  }

  // Opens scene `scene` of storyboard "User" from the drawer, as the user centre does, and lets it show.
  void open(const std::string& scene) {
    QMUserCentreEntries::present(*delegate_->drawer(), scene);
    settle();
  }

  // The controller a person looks at.
  static std::shared_ptr<uikit::ViewController> shownController() {
    std::shared_ptr<uikit::ViewController> top =
        uikit::Application::sharedApplication().keyWindow()->rootViewController();
    while (top->presentedViewController()) {
      top = top->presentedViewController();
    }
    return top->contentViewController();
  }
  template <typename Screen>
  static std::shared_ptr<Screen> shown() {
    return std::dynamic_pointer_cast<Screen>(shownController());
  }

  bool waitFor(const std::string& text) {
    return runUntil([&] { return screenShows(text); });
  }
  std::size_t requestsOf(const std::string& path) { return app_.backend().recordedRequests(path).size(); }
  // The parameter `name` of every request of `path`, in order.
  std::vector<std::string> sent(const std::string& path, const std::string& name) {
    std::vector<std::string> values;
    for (const auto& parameters : app_.sentParameters(path)) {
      const auto value = parameters.find(name);
      values.push_back(value != parameters.end() ? value->second : "");
    }
    return values;
  }

  // Serves `count` orders of whatever status is asked, "O1" first, each with the status asked (1 for all)
  // and a product named after it, in pages of the size asked.
  void serveOrders(int count) {
    app_.backend().router().add(
        kOrderPath, sample_backend::api::SessionRule::kSignedIn,
        [count](const sample_backend::api::RouteContext& context) {
          const int status = std::stoi(context.request.parameter("status").value_or("0"));
          const int page = std::stoi(context.request.parameter("pageNo").value_or("1"));
          const int size = std::stoi(context.request.parameter("pageSize").value_or("10"));
          nlohmann::json orders = nlohmann::json::array();
          for (int index = (page - 1) * size + 1; index <= count && index <= page * size; ++index) {
            orders.push_back({{"orderNo", "O" + std::to_string(index)},
                              {"status", status == -1 ? 1 : status},
                              {"createTime", "2016-09-01 10:00:00"},
                              {"price", "10.00"},
                              {"productDisplayNames", "课程" + std::to_string(index)}});
          }
          return sample_backend::api::ApiReply::success({{"z_data", orders}});
        });
  }
};

}  // namespace app::usercentretest
