#pragma once

// sample_backend::api::ApiService: the JSON API without its transport. It records every request, applies
// the test controls, runs the checks of RequestChecks.h and then the path's route, and says how to answer:
// the reply body, or a delay, or a cut connection. ApiServer carries it over HTTP; tests read the record
// and set the controls here.
//
// Thread-safety: answer(), the record and the controls may be used from any thread; add routes before the
// service answers its first request.

#include <memory>
#include <string_view>
#include <vector>

#include "platform/foundation/check/Mutex.h"
#include "sample_backend/account/AccountBook.h"
#include "sample_backend/api/ApiRequest.h"
#include "sample_backend/api/ApiRouter.h"
#include "sample_backend/api/SampleCatalogue.h"
#include "sample_backend/api/SessionRegistry.h"
#include "sample_backend/api/TestControls.h"
#include "sample_backend/course/LearningRecords.h"

namespace sample_backend::api {

class ApiService {
 public:
  // The HTTP answer to one request. With `control.cutConnection` nothing is sent; otherwise the body goes
  // out with `status` after `control.delay`.
  struct Answer {
    ReplyControl control;
    unsigned status = 200;
    std::string contentType = "application/json;charset=UTF-8";
    std::string body;
  };

  // Makes a service of `catalogue` that serves the common routes (CommonRoutes.h), the study routes
  // (course/CourseRoutes.h) and the user-centre routes (account/AccountRoutes.h).
  explicit ApiService(SampleCatalogue catalogue);

  // Keeps the sessions and the learning records in the folder `folder` (created when missing), taking what
  // an earlier run left there, so that a restart finds learners signed in where they were. Returns an error
  // that names the folder or file when the folder cannot be made or a state file is damaged.
  // REQUIRES: no request has been answered yet.
  ns::Status keepStateIn(const std::string& folder);

  // REQUIRES: no request has been answered yet.
  ApiRouter& router() { return router_; }
  TestControls& controls() { return controls_; }
  SessionRegistry& sessions() { return sessions_; }
  const SampleCatalogue& catalogue() const { return catalogue_; }

  // Records `request` and returns its answer: a GET of one of the back end's pages (servesPage()) 200 with
  // the page as HTML, or 404 when there is no such page; 405 for another method than POST, 404 for an unknown
  // path, else 200 with the JSON reply.
  Answer answer(ApiRequest request);
  // Returns true when GETs of `path` are the service's own (the course agreement's page,
  // course/AgreementPage.h), not the media service's.
  static bool servesPage(std::string_view path);

  // Returns every request received so far, in order of arrival.
  std::vector<RecordedApiRequest> recordedRequests() const;
  // Returns the requests of `path` received so far, in order of arrival.
  std::vector<RecordedApiRequest> recordedRequests(std::string_view path) const;
  void clearRecordedRequests();

 private:
  // Returns the answer to a GET of a page.
  Answer pageAnswer(const ApiRequest& request) const;
  // Returns the reply to a POST of a known route, and the refusal's reason when the checks refused it.
  ApiReply reply(const ApiRequest& request, const Route& route, const ReplyControl& control,
                 std::string& refusal);

  // Constant after construction
  const SampleCatalogue catalogue_;

  ApiRouter router_;
  TestControls controls_;
  SessionRegistry sessions_;
  const std::shared_ptr<course::LearningRecords> records_ = std::make_shared<course::LearningRecords>();
  const std::shared_ptr<account::AccountBook> accounts_ = std::make_shared<account::AccountBook>();

  mutable ns::Mutex mutex_;
  std::vector<RecordedApiRequest> recorded_ QM_GUARDED_BY(mutex_);
};

}  // namespace sample_backend::api
