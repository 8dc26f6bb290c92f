#include "learning/subject/QMSubjectTree.h"

#include <unordered_map>
#include <unordered_set>

#include "app/store/QMStage.h"
#include "app/store/QMSubject.h"

namespace learning {

namespace {

bool hasPlayedStage(const app::QMSubject& subject) {
  return !subject.onStageID().value_or("").empty();
}

}  // namespace

std::shared_ptr<TRTreeNodeData> QMSubjectTree::createSubjectNodeData(
    const std::shared_ptr<app::QMSubject>& subject) {
  auto node = std::make_shared<TRTreeNodeData>(subject);
  if (hasPlayedStage(*subject)) {
    node->insertChild(createPlayedNodeData(subject));
  }
  for (const std::shared_ptr<app::QMStage>& stage : subject->sortedStageArray()) {
    node->insertChild(std::make_shared<TRTreeNodeData>(stage));
  }
  return node;
}

std::shared_ptr<TRTreeNodeData> QMSubjectTree::createPlayedNodeData(
    const std::shared_ptr<app::QMSubject>& subject) {
  return std::make_shared<TRTreeNodeData>(std::make_shared<QMNearlyPlayedItem>(subject));
}

std::shared_ptr<TRTreeNodeData> QMSubjectTree::createRoot(
    const std::vector<std::shared_ptr<app::QMSubject>>& subjects) {
  auto root = std::make_shared<TRTreeNodeData>();
  for (const std::shared_ptr<app::QMSubject>& subject : subjects) {
    root->insertChild(createSubjectNodeData(subject));
  }
  return root;
}

std::vector<std::shared_ptr<app::QMSubject>> QMSubjectTree::merge(
    TRTreeNodeData& root, const std::vector<std::shared_ptr<app::QMSubject>>& subjects) {
  const std::vector<std::shared_ptr<TRTreeNodeData>> former = root.child();
  // Looked up by subject, so that a list of thousands merges in time proportional to its length.
  std::unordered_map<const ns::Object*, std::shared_ptr<TRTreeNodeData>> formerBySubject;
  for (const std::shared_ptr<TRTreeNodeData>& node : former) {
    formerBySubject.emplace(node->dataModel().get(), node);
  }
  std::vector<std::shared_ptr<TRTreeNodeData>> ordered;
  std::unordered_set<const TRTreeNodeData*> kept;
  ordered.reserve(subjects.size());
  for (const std::shared_ptr<app::QMSubject>& subject : subjects) {
    const auto found = formerBySubject.find(subject.get());
    if (found == formerBySubject.end()) {
      ordered.push_back(createSubjectNodeData(subject));
      continue;
    }
    const std::shared_ptr<TRTreeNodeData>& node = found->second;
    kept.insert(node.get());
    const bool startsWithPlayed = !node->child().empty() && isPlayedNode(*node->child().front());
    if (hasPlayedStage(*subject) && !startsWithPlayed) {
      node->insertChild(createPlayedNodeData(subject), 0);
    }
    ordered.push_back(node);
  }
  std::vector<std::shared_ptr<app::QMSubject>> removed;
  for (const std::shared_ptr<TRTreeNodeData>& node : former) {
    if (!kept.contains(node.get())) {
      if (std::shared_ptr<app::QMSubject> subject = subjectOf(*node)) {
        removed.push_back(std::move(subject));
      }
    }
  }
  // The children are laid out again in the list's order, each linked to its new neighbours.
  while (!root.child().empty()) {
    root.removeChildAtIndexes(root.child().size() - 1);
  }
  for (const std::shared_ptr<TRTreeNodeData>& node : ordered) {
    root.insertChild(node);
  }
  return removed;
}

std::shared_ptr<app::QMSubject> QMSubjectTree::subjectOf(const TRTreeNodeData& node) {
  return std::dynamic_pointer_cast<app::QMSubject>(node.dataModel());
}

bool QMSubjectTree::isPlayedNode(const TRTreeNodeData& node) {
  return std::dynamic_pointer_cast<QMNearlyPlayedItem>(node.dataModel()) != nullptr;
}

}  // namespace learning
