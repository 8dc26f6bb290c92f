#include "sample_backend/course/StudyReplies.h"

#include <charconv>
#include <optional>
#include <string>

#include "sample_backend/api/SampleCatalogue.h"
#include "sample_backend/api/TestControls.h"
#include "sample_backend/course/CourseCatalogue.h"
#include "sample_backend/course/CourseReplyCodes.h"
#include "sample_backend/course/LearnerReplies.h"

namespace sample_backend::course {
namespace {

CourseCatalogue coursesOf(const api::RouteContext& context) {
  return CourseCatalogue(context.catalogue.section("courses"));
}

// Returns `object` without the members `names` (those the catalogue keeps for the back end alone).
nlohmann::json without(const nlohmann::json& object, std::initializer_list<const char*> names) {
  nlohmann::json copy = object;
  for (const char* name : names) {
    copy.erase(name);
  }
  return copy;
}

// Returns the text as a number of 1 or more, or std::nullopt.
std::optional<int> positiveNumber(const std::optional<std::string>& text) {
  int number = 0;
  if (!text || text->empty() ||
      std::from_chars(text->data(), text->data() + text->size(), number).ptr != text->data() + text->size() ||
      number < 1) {
    return std::nullopt;
  }
  return number;
}

nlohmann::json subjectEntry(const nlohmann::json& subject, const std::optional<LastPlayed>& lastPlayed) {
  nlohmann::json entry = without(subject, {"stages"});
  const NodeCounts counts = CourseCatalogue::countNodes(subject);
  entry["countMap"] = {
      {"chapterCount", counts.chapters}, {"unitCount", counts.units}, {"classCount", counts.lessons}};
  entry["stageList"] = nlohmann::json::array();
  for (const nlohmann::json& stage : subject.value("stages", nlohmann::json::array())) {
    entry["stageList"].push_back(without(stage, {"chapters"}));
  }
  entry["onLearning"] = nlohmann::json::object();
  entry["onStageId"] = "";
  if (lastPlayed) {
    entry["onLearning"] = {{"id", lastPlayed->nodeId}, {"date", lastPlayed->date}};
    entry["onStageId"] = lastPlayed->stageId;
  }
  return entry;
}

// A group's entry in the live list. A picture given as a path lies on this back end, which the client reaches
// at `host` (the request's Host field).
nlohmann::json liveGroupEntry(const nlohmann::json& group, std::string_view host) {
  nlohmann::json entry = without(group, {"seasonId", "lives"});
  if (const auto picture = entry.find("pic"); picture != entry.end() && picture->is_string() &&
                                              picture->get_ref<const std::string&>().starts_with("/")) {
    *picture = "http://" + std::string(host) + picture->get<std::string>();
  }
  entry["lives"] = nlohmann::json::array();
  for (const nlohmann::json& live : group.value("lives", nlohmann::json::array())) {
    entry["lives"].push_back(without(live, {"params"}));
  }
  return entry;
}

}  // namespace

api::ApiReply allSubjectsReply(const api::RouteContext& context, LearningRecords& records) {
  seedLearningRecords(context, records);
  const CourseCatalogue courses = coursesOf(context);
  const nlohmann::json* season = courses.season(context.request.parameter("seasonId"));
  if (season == nullptr) {
    return api::ApiReply::refusal(kCodeNoSuchProduct, "no such season");
  }
  const std::string userId = context.userId.value_or("");
  nlohmann::json subjects = nlohmann::json::array();
  std::size_t lessons = 0;
  std::size_t playedLessons = 0;
  for (const nlohmann::json* subject : courses.subjectsOf(*season)) {
    const std::string courseId = idText(subject->value("courseId", nlohmann::json()));
    subjects.push_back(subjectEntry(*subject, records.lastPlayed(userId, courseId)));
    lessons += static_cast<std::size_t>(CourseCatalogue::countNodes(*subject).lessons);
    playedLessons += records.playedLessonCount(userId, courseId);
  }
  nlohmann::json seasons = nlohmann::json::array();
  for (const nlohmann::json& each : courses.seasons()) {
    seasons.push_back(without(each, {"finalDays", "subjects"}));
  }
  return api::ApiReply::success({
      {"finalDays", season->value("finalDays", 0)},
      {"sysTime", context.controls.serverTime()},
      {"size", subjects.size()},
      {"totalProcess", lessons == 0 ? 0 : playedLessons * 100 / lessons},
      {"subjects", std::move(subjects)},
      {"sesaons", std::move(seasons)},
  });
}

api::ApiReply courseTreeReply(const api::RouteContext& context) {
  const std::optional<std::string> nodeId = context.request.parameter("nodeId");
  if (!nodeId) {
    return api::ApiReply::refusal(api::kCodeMissingParameter, "missing nodeId");
  }
  const nlohmann::json* stage = coursesOf(context).stage(*nodeId);
  if (stage == nullptr) {
    return api::ApiReply::refusal(kCodeNoSuchProduct, "no such stage");
  }
  return api::ApiReply::success({{"chapters", stage->value("chapters", nlohmann::json::array())}});
}

api::ApiReply liveGroupsReply(const api::RouteContext& context) {
  const std::optional<int> page = positiveNumber(context.request.parameter("page"));
  const std::optional<int> pageSize = positiveNumber(context.request.parameter("pageSize"));
  if (!page || !pageSize) {
    return api::ApiReply::refusal(api::kCodeMissingParameter, "missing or malformed page or pageSize");
  }
  const CourseCatalogue courses = coursesOf(context);
  const nlohmann::json* season = courses.season(context.request.parameter("seasonId"));
  if (season == nullptr) {
    return api::ApiReply::refusal(kCodeNoSuchProduct, "no such season");
  }
  const std::vector<const nlohmann::json*> groups = courses.liveGroupsOf(*season);
  const std::string host = context.request.header("host").value_or("");
  nlohmann::json data = nlohmann::json::array();
  const std::size_t first = static_cast<std::size_t>(*page - 1) * static_cast<std::size_t>(*pageSize);
  for (std::size_t index = first;
       index < groups.size() && index < first + static_cast<std::size_t>(*pageSize); ++index) {
    data.push_back(liveGroupEntry(*groups[index], host));
  }
  return api::ApiReply::success({{"data", std::move(data)}, {"totalCount", groups.size()}});
}

api::ApiReply liveParamsReply(const api::RouteContext& context) {
  const std::optional<std::string> liveId = context.request.parameter("knowledge_id");
  if (!liveId) {
    return api::ApiReply::refusal(api::kCodeMissingParameter, "missing knowledge_id");
  }
  const nlohmann::json* live = coursesOf(context).live(*liveId);
  if (live == nullptr) {
    return api::ApiReply::refusal(kCodeNoSuchVideo, "no such live lesson");
  }
  return api::ApiReply::success(live->value("params", nlohmann::json::object()));
}

}  // namespace sample_backend::course
