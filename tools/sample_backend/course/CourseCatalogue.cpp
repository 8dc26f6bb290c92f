#include "sample_backend/course/CourseCatalogue.h"

#include <functional>

namespace sample_backend::course {
namespace {

const nlohmann::json& emptyArray() {
  static const nlohmann::json kEmpty = nlohmann::json::array();
  return kEmpty;
}

const nlohmann::json& emptyObject() {
  static const nlohmann::json kEmpty = nlohmann::json::object();
  return kEmpty;
}

const nlohmann::json* findById(const nlohmann::json& list, std::string_view field, std::string_view id) {
  for (const nlohmann::json& entry : list) {
    if (entry.is_object() && entry.contains(field) && idText(entry[std::string(field)]) == id) {
      return &entry;
    }
  }
  return nullptr;
}

// Returns the node's "type", or -1 when it has no numeric one.
int nodeType(const nlohmann::json& node) {
  const auto found = node.find("type");
  return found != node.end() && found->is_number_integer() ? found->get<int>() : -1;
}

// Visits every node of a tree: the nodes of `nodes` and, depth first, their "children".
void visitTree(const nlohmann::json& nodes, const std::function<void(const nlohmann::json&)>& visit) {
  if (!nodes.is_array()) {
    return;
  }
  for (const nlohmann::json& node : nodes) {
    if (node.is_object()) {
      visit(node);
      visitTree(node.value("children", nlohmann::json()), visit);
    }
  }
}

}  // namespace

std::string idText(const nlohmann::json& id) {
  if (id.is_string()) {
    return id.get<std::string>();
  }
  if (id.is_number_integer()) {
    return std::to_string(id.get<std::int64_t>());
  }
  return id.is_number() ? id.dump() : std::string();
}

const nlohmann::json& CourseCatalogue::listOf(const nlohmann::json& object, std::string_view name) {
  if (!object.is_object()) {
    return emptyArray();
  }
  const auto found = object.find(name);
  return found != object.end() && found->is_array() ? *found : emptyArray();
}

const nlohmann::json& CourseCatalogue::list(std::string_view name) const {
  return listOf(section_, name);
}

const nlohmann::json* CourseCatalogue::season(const std::optional<std::string>& seasonId) const {
  const nlohmann::json& seasons = this->seasons();
  if (!seasonId) {
    return seasons.empty() || !seasons.front().is_object() ? nullptr : &seasons.front();
  }
  return findById(seasons, "id", *seasonId);
}

std::vector<const nlohmann::json*> CourseCatalogue::subjectsOf(const nlohmann::json& season) const {
  std::vector<const nlohmann::json*> subjects;
  for (const nlohmann::json& courseId : listOf(season, "subjects")) {
    if (const nlohmann::json* found = subject(idText(courseId))) {
      subjects.push_back(found);
    }
  }
  return subjects;
}

std::vector<const nlohmann::json*> CourseCatalogue::liveGroupsOf(const nlohmann::json& season) const {
  std::vector<const nlohmann::json*> groups;
  const std::string seasonId = idText(season.value("id", nlohmann::json()));
  for (const nlohmann::json& group : list("liveGroups")) {
    if (group.is_object() && idText(group.value("seasonId", nlohmann::json())) == seasonId) {
      groups.push_back(&group);
    }
  }
  return groups;
}

const nlohmann::json* CourseCatalogue::subject(std::string_view courseId) const {
  return findById(list("subjects"), "courseId", courseId);
}

const nlohmann::json* CourseCatalogue::stage(std::string_view nodeId) const {
  for (const nlohmann::json& subject : list("subjects")) {
    if (const nlohmann::json* found = findById(listOf(subject, "stages"), "nodeId", nodeId)) {
      return found;
    }
  }
  return nullptr;
}

const nlohmann::json* CourseCatalogue::stageOfLesson(const nlohmann::json& subject,
                                                     std::string_view nodeId) const {
  for (const nlohmann::json& stage : listOf(subject, "stages")) {
    bool holdsLesson = false;
    visitTree(listOf(stage, "chapters"), [&](const nlohmann::json& node) {
      holdsLesson = holdsLesson || (nodeType(node) == kLessonType &&
                                    idText(node.value("nodeId", nlohmann::json())) == nodeId);
    });
    if (holdsLesson) {
      return &stage;
    }
  }
  return nullptr;
}

const nlohmann::json* CourseCatalogue::live(std::string_view liveId) const {
  for (const nlohmann::json& group : list("liveGroups")) {
    if (const nlohmann::json* found = findById(listOf(group, "lives"), "liveId", liveId)) {
      return found;
    }
  }
  return nullptr;
}

const nlohmann::json& CourseCatalogue::agreement() const {
  if (section_.is_object()) {
    const auto found = section_.find("agreement");
    if (found != section_.end() && found->is_object()) {
      return *found;
    }
  }
  return emptyObject();
}

const nlohmann::json& CourseCatalogue::learning() const {
  return list("learning");
}

NodeCounts CourseCatalogue::countNodes(const nlohmann::json& subject) {
  NodeCounts counts;
  for (const nlohmann::json& stage : listOf(subject, "stages")) {
    visitTree(listOf(stage, "chapters"), [&](const nlohmann::json& node) {
      switch (nodeType(node)) {
        case kChapterType:
          ++counts.chapters;
          break;
        case kUnitType:
          ++counts.units;
          break;
        case kLessonType:
          ++counts.lessons;
          break;
        default:
          break;
      }
    });
  }
  return counts;
}

}  // namespace sample_backend::course
