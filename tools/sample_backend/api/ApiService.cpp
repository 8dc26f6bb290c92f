#include "sample_backend/api/ApiService.h"

#include "platform/foundation/storage/FileManager.h"
#include "sample_backend/account/AccountRoutes.h"
#include "sample_backend/api/CommonRoutes.h"
#include "sample_backend/api/FeedbackRoute.h"
#include "sample_backend/api/RequestChecks.h"
#include "sample_backend/course/AgreementPage.h"
#include "sample_backend/course/CourseCatalogue.h"
#include "sample_backend/course/CourseRoutes.h"

namespace sample_backend::api {

ApiService::ApiService(SampleCatalogue catalogue) : catalogue_(std::move(catalogue)) {
  addCommonRoutes(router_);
  addFeedbackRoute(router_);
  course::addCourseRoutes(router_, records_);
  account::addAccountRoutes(router_, accounts_);
}

ns::Status ApiService::keepStateIn(const std::string& folder) {
  const ns::Status created =
      ns::FileManager::defaultManager().createDirectoryAtPath(folder, ns::IntermediateDirectories::kYes);
  if (!created.ok()) {
    return ns::Error(
        state::kStateErrorDomain, static_cast<int>(state::StateErrorCode::kUnusableFolder),
        {{std::string(ns::kLocalizedDescriptionKey),
          "cannot make the state folder " + folder + ": " + created.error().localizedDescription()}});
  }
  if (ns::Status sessions = sessions_.keepIn(state::StateFile(folder + "/sessions.json")); !sessions.ok()) {
    return sessions;
  }
  return records_->keepIn(state::StateFile(folder + "/learning_records.json"));
}

ApiService::Answer ApiService::answer(ApiRequest request) {
  Answer answer;
  answer.control = controls_.takeControl(request.path);
  RecordedApiRequest record{request, std::nullopt, {}};
  const std::optional<Route> route = router_.find(request.path);
  if (request.method == "GET" && servesPage(request.path)) {
    answer = pageAnswer(request);
  } else if (request.method != "POST") {
    answer.status = 405;
    answer.body = R"({"message":"only POST is served"})";
  } else if (!route) {
    answer.status = 404;
    answer.body = R"({"message":"no such path"})";
  } else if (!answer.control.cutConnection) {
    const ApiReply reply = this->reply(request, *route, answer.control, record.refusal);
    answer.body = reply.body(answer.control.codeForm);
    record.code = reply.code;
  }
  ns::MutexLock lock(mutex_);
  recorded_.push_back(std::move(record));
  return answer;
}

bool ApiService::servesPage(std::string_view path) {
  return course::isAgreementPagePath(path);
}

ApiService::Answer ApiService::pageAnswer(const ApiRequest& request) const {
  Answer answer;
  const std::optional<std::string> page =
      course::agreementPage(course::CourseCatalogue(catalogue_.section("courses")).agreement(), request.path);
  if (!page) {
    answer.status = 404;
    answer.contentType = "text/plain";
    answer.body = "no such page";
    return answer;
  }
  answer.contentType = "text/html;charset=UTF-8";
  answer.body = *page;
  return answer;
}

ApiReply ApiService::reply(const ApiRequest& request, const Route& route, const ReplyControl& control,
                           std::string& refusal) {
  if (control.refusalCode) {
    refusal = "refused by a test";
    return ApiReply::refusal(*control.refusalCode, refusal);
  }
  CheckOutcome outcome = checkRequest(request, catalogue_, sessions_, route.sessionRule);
  if (outcome.refusal) {
    refusal = outcome.refusal->message;
    return *outcome.refusal;
  }
  return route.handler(RouteContext{request, catalogue_, sessions_, controls_, outcome.userId});
}

std::vector<RecordedApiRequest> ApiService::recordedRequests() const {
  ns::MutexLock lock(mutex_);
  return recorded_;
}

std::vector<RecordedApiRequest> ApiService::recordedRequests(std::string_view path) const {
  ns::MutexLock lock(mutex_);
  std::vector<RecordedApiRequest> matching;
  for (const RecordedApiRequest& record : recorded_) {
    if (record.request.path == path) {
      matching.push_back(record);
    }
  }
  return matching;
}

void ApiService::clearRecordedRequests() {
  ns::MutexLock lock(mutex_);
  recorded_.clear();
}

}  // namespace sample_backend::api
