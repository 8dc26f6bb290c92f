#include "sample_backend/course/LearnerReplies.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/text/DateFormatter.h"
#include "sample_backend/api/SampleCatalogue.h"
#include "sample_backend/api/TestControls.h"
#include "sample_backend/course/AgreementPage.h"
#include "sample_backend/course/CourseCatalogue.h"
#include "sample_backend/course/CourseReplyCodes.h"

namespace sample_backend::course {
namespace {

// The form in which the client stores and compares a subject's last-play time. The back end writes its
// own wall clock, in its host's time zone, as the client writes the device's: the client compares the two
// texts as they stand.
constexpr std::string_view kLastPlayedDateFormat = "yyyy.MM.dd HH:mm";

std::string memberText(const nlohmann::json& object, const char* name) {
  return object.is_object() && object.contains(name) ? idText(object[name]) : std::string();
}

std::string lastPlayedDate(std::int64_t serverTime) {
  const ns::DateFormatter formatter(kLastPlayedDateFormat, ns::DateFormatter::Zone::kLocal);
  return formatter.stringFromDate(ns::Date(static_cast<double>(serverTime)));
}

bool isBlank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

bool isPosition(const std::string& text) {
  double seconds = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  return error == std::errc() && end == text.data() + text.size() && std::isfinite(seconds) && seconds >= 0;
}

// An 18-character identity-card number: seventeen digits and the ISO 7064 MOD 11-2 check character. The
// back end checks it on its own, so that a fault in the client's check shows as a refusal.
bool isIdentityCardNumber(std::string_view number) {
  static constexpr std::array<int, 17> kWeights = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
  static constexpr std::string_view kCheckCharacters = "10X98765432";
  if (number.size() != kWeights.size() + 1) {
    return false;
  }
  int sum = 0;
  for (std::size_t index = 0; index < kWeights.size(); ++index) {
    if (number[index] < '0' || number[index] > '9') {
      return false;
    }
    sum += (number[index] - '0') * kWeights[index];
  }
  const char check = number.back() == 'x' ? 'X' : number.back();
  return check == kCheckCharacters[static_cast<std::size_t>(sum % 11)];
}

// Returns the values of `names`, in order, or std::nullopt when one is missing.
std::optional<std::vector<std::string>> requiredParameters(const api::ApiRequest& request,
                                                           std::initializer_list<std::string_view> names) {
  std::vector<std::string> values;
  for (std::string_view name : names) {
    std::optional<std::string> value = request.parameter(name);
    if (!value) {
      return std::nullopt;
    }
    values.push_back(std::move(*value));
  }
  return values;
}

// The lesson `nodeId` of subject `courseId` as a request names it, or the refusal of the request.
struct LessonLookup {
  std::optional<api::ApiReply> refusal;
  std::string stageId;
};

LessonLookup findLesson(const CourseCatalogue& courses, const std::string& courseId,
                        const std::string& nodeId) {
  const nlohmann::json* subject = courses.subject(courseId);
  if (subject == nullptr) {
    return {api::ApiReply::refusal(kCodeNoSuchProduct, "no such subject"), {}};
  }
  const nlohmann::json* stage = courses.stageOfLesson(*subject, nodeId);
  if (stage == nullptr) {
    return {api::ApiReply::refusal(kCodeNoSuchVideo, "no such lesson in the subject"), {}};
  }
  return {std::nullopt, memberText(*stage, "nodeId")};
}

}  // namespace

void seedLearningRecords(const api::RouteContext& context, LearningRecords& records) {
  records.seedOnce([&] {
    const CourseCatalogue courses(context.catalogue.section("courses"));
    std::vector<LearningRecords::Seed> seeds;
    for (const nlohmann::json& entry : courses.learning()) {
      const std::string courseId = memberText(entry, "courseId");
      const std::string nodeId = memberText(entry, "nodeId");
      const LessonLookup lesson = findLesson(courses, courseId, nodeId);
      if (!lesson.refusal) {
        seeds.push_back({memberText(entry, "userId"), courseId,
                         LastPlayed{nodeId, lesson.stageId, memberText(entry, "date")},
                         memberText(entry, "videoTime")});
      }
    }
    return seeds;
  });
}

api::ApiReply agreementStatusReply(const api::RouteContext& context, const LearningRecords& records) {
  const nlohmann::json& agreement = CourseCatalogue(context.catalogue.section("courses")).agreement();
  const std::string userId = context.userId.value_or("");
  bool mustSign = false;
  for (const nlohmann::json& learner : agreement.value("learnersToSign", nlohmann::json::array())) {
    mustSign = mustSign || idText(learner) == userId;
  }
  return api::ApiReply::success({
      {"needSign", mustSign && !records.hasSigned(userId, memberText(agreement, "protocolId"))},
      {"protocolId", memberText(agreement, "protocolId")},
      {"name", memberText(agreement, "name")},
      {"memberProductId", memberText(agreement, "memberProductId")},
      {"signURL", agreementPageURL(agreement, context.request.header("host").value_or(""))},
  });
}

api::ApiReply signAgreementReply(const api::RouteContext& context, LearningRecords& records) {
  const std::optional<std::vector<std::string>> values =
      requiredParameters(context.request, {"memberProductId", "protocolId", "name", "superId"});
  if (!values) {
    return api::ApiReply::refusal(api::kCodeMissingParameter, "missing agreement parameters");
  }
  const auto& [memberProductId, protocolId, name, superId] =
      std::tie((*values)[0], (*values)[1], (*values)[2], (*values)[3]);
  const nlohmann::json& agreement = CourseCatalogue(context.catalogue.section("courses")).agreement();
  if (protocolId.empty() || protocolId != memberText(agreement, "protocolId") ||
      memberProductId != memberText(agreement, "memberProductId")) {
    return api::ApiReply::refusal(kCodeNoSuchProduct, "no such agreement");
  }
  if (isBlank(name)) {
    return api::ApiReply::refusal(kCodeBadRealName, "blank name");
  }
  if (!isIdentityCardNumber(superId)) {
    return api::ApiReply::refusal(kCodeBadIdentityCard, "wrong identity-card number");
  }
  records.sign(context.userId.value_or(""), protocolId);
  return api::ApiReply::success(nullptr);
}

api::ApiReply saveProgressReply(const api::RouteContext& context, LearningRecords& records) {
  seedLearningRecords(context, records);
  const std::optional<std::vector<std::string>> values =
      requiredParameters(context.request, {"nodeId", "courseId", "videoTime"});
  if (!values || !isPosition((*values)[2])) {
    return api::ApiReply::refusal(api::kCodeMissingParameter, "missing or malformed position");
  }
  const auto& [nodeId, courseId, videoTime] = std::tie((*values)[0], (*values)[1], (*values)[2]);
  const LessonLookup lesson =
      findLesson(CourseCatalogue(context.catalogue.section("courses")), courseId, nodeId);
  if (lesson.refusal) {
    return *lesson.refusal;
  }
  records.save(context.userId.value_or(""), courseId,
               LastPlayed{nodeId, lesson.stageId, lastPlayedDate(context.controls.serverTime())}, videoTime);
  return api::ApiReply::success(nullptr);
}

api::ApiReply progressReply(const api::RouteContext& context, LearningRecords& records) {
  seedLearningRecords(context, records);
  const std::optional<std::vector<std::string>> values =
      requiredParameters(context.request, {"nodeId", "courseId"});
  if (!values) {
    return api::ApiReply::refusal(api::kCodeMissingParameter, "missing nodeId or courseId");
  }
  const auto& [nodeId, courseId] = std::tie((*values)[0], (*values)[1]);
  const LessonLookup lesson =
      findLesson(CourseCatalogue(context.catalogue.section("courses")), courseId, nodeId);
  if (lesson.refusal) {
    return *lesson.refusal;
  }
  return api::ApiReply::success(
      {{"timeRecord", records.videoTime(context.userId.value_or(""), courseId, nodeId).value_or("0")}});
}

}  // namespace sample_backend::course
