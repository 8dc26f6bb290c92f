#pragma once

// QMSubjectTree: the nodes of the subject screen's tree. Below a root without data come one node per subject;
// under a subject, the recently-played node first (when the subject has a last-played stage), then one node
// per stage in the subject's saved order. A recently-played node's data is a dictionary of "title"
// ("最近一次播放") and "model" (the subject).
//
// Thread-safety: main thread only, as the store and the tree view.

#include <memory>
#include <vector>

#include "learning/tree/TRTreeNodeData.h"
#include "platform/foundation/values/Value.h"

namespace app {
class QMSubject;
}  // namespace app

namespace learning {

// The data of a recently-played node.
class QMNearlyPlayedItem : public ns::Object {
 public:
  static constexpr char kTitle[] = "最近一次播放";

  explicit QMNearlyPlayedItem(std::shared_ptr<app::QMSubject> subject) : model_(std::move(subject)) {}
  const std::shared_ptr<app::QMSubject>& model() const { return model_; }

 private:
  const std::shared_ptr<app::QMSubject> model_;
};

class QMSubjectTree {
 public:
  // A subject node with its children, as the header comment says.
  static std::shared_ptr<TRTreeNodeData> createSubjectNodeData(
      const std::shared_ptr<app::QMSubject>& subject);
  // A recently-played node of `subject`.
  static std::shared_ptr<TRTreeNodeData> createPlayedNodeData(const std::shared_ptr<app::QMSubject>& subject);
  // A root holding a subject node per subject of `subjects`, in their order.
  static std::shared_ptr<TRTreeNodeData> createRoot(
      const std::vector<std::shared_ptr<app::QMSubject>>& subjects);

  // Brings `root`'s subject nodes in step with `subjects` and returns the subjects whose nodes it removed.
  // A subject without a node gets a new one; a subject that gained a last-played stage gets a
  // recently-played node as its first child (an existing one stays, as do the stage nodes); nodes of subjects
  // no longer listed are removed. Afterwards the subject nodes follow the order of `subjects`, and existing
  // nodes keep their open or closed state.
  static std::vector<std::shared_ptr<app::QMSubject>> merge(
      TRTreeNodeData& root, const std::vector<std::shared_ptr<app::QMSubject>>& subjects);

  // The subject a node stands for, or nullptr.
  static std::shared_ptr<app::QMSubject> subjectOf(const TRTreeNodeData& node);
  // Whether a node is a recently-played node.
  static bool isPlayedNode(const TRTreeNodeData& node);
};

}  // namespace learning
