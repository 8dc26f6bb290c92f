#pragma once

// cd::ManagedObjectContext: the scratch pad in which the application reads, creates, changes and deletes
// the objects of a store, until save() writes all its changes at once.
//
// - Identity: a context holds at most one object per row; every fetch and relationship that reaches a row
//   returns that same object.
// - Reading: the first fetch of an entity, or the first walk of a relationship into it, reads the entity's
//   rows; later fetches work on the objects in memory, so they see unsaved changes at once (inserted
//   objects are found, deleted ones are not).
// - Deleting applies the relationships' delete rules at once: cascaded objects are deleted too, nullified
//   ones lose their link.
// - save() writes every insert, change and delete of the context in one transaction, and does nothing when
//   nothing changed. On failure the changes stay in the context and the file stays as it was.
//
// Not thread-safe: a context and its objects belong to the thread that made it (the main thread in the
// application). Destroying the context detaches its objects: any still held elsewhere keep their attribute
// values, lose their relationships, and report a null context.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/coredata/FetchRequest.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/ObjectRegistry.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/foundation/check/ThreadChecker.h"
#include "platform/foundation/values/Result.h"

namespace cd {

class ManagedObjectContext {
 public:
  // REQUIRES: `coordinator` has a store.
  explicit ManagedObjectContext(std::shared_ptr<PersistentStoreCoordinator> coordinator);
  ~ManagedObjectContext();
  ManagedObjectContext(const ManagedObjectContext&) = delete;
  ManagedObjectContext& operator=(const ManagedObjectContext&) = delete;

  const std::shared_ptr<PersistentStoreCoordinator>& persistentStoreCoordinator() const {
    return coordinator_;
  }

  // Returns a new object of the entity called `entityName`, with every attribute nil and no relationships,
  // registered in this context and saved by the next save(); nullptr when the model has no such entity.
  std::shared_ptr<ManagedObject> insertNewObjectForEntityForName(std::string_view entityName);

  // Deletes `object` and applies its relationships' delete rules. Does nothing for an object of another
  // context or one already deleted.
  void deleteObject(ManagedObject& object);

  // Returns the objects that `request` asks for, or the error (kCoreDataError for an entity the model does
  // not hold, or the store's read error). The caller shares the objects with the context.
  // REQUIRES: the request's key paths name properties of the model (see BoundPredicate).
  ns::Result<std::vector<std::shared_ptr<ManagedObject>>> executeFetchRequest(const FetchRequest& request);

  // True when inserts, changes or deletes wait to be saved.
  bool hasChanges() const { return pendingChanges_ > 0; }

  // Writes the waiting changes in one transaction. Returns success (also when there was nothing to write)
  // or the error (kPersistentStoreSaveError over the store's error), with the changes still waiting.
  ns::Status save();

 private:
  friend class ManagedObject;

  // Reads the rows of entity `entityIndex` into objects unless that was done before, and, first, the
  // entities its to-one relationships lead to, so that every link resolves. Returns the read error, if any.
  ns::Status ensureLoaded(std::size_t entityIndex);
  ns::Status ensureLoadedAlong(const EntityDescription& entity, std::string_view keyPath);
  // Called by objects as they change.
  void attributeDidChange(ManagedObject& object, std::size_t attribute, const ns::Value& oldValue);
  void objectDidUpdate(ManagedObject& object);
  // Applies the delete rule of each relationship of `object`, which is being deleted.
  void applyDeleteRules(ManagedObject& object);
  StoreRowWrite rowOf(const ManagedObject& object) const;
  void forgetSavedChanges();

  // Constant after construction.
  const std::shared_ptr<PersistentStoreCoordinator> coordinator_;
  const std::shared_ptr<const ManagedObjectModel> model_;

  std::vector<ObjectRegistry> registries_;  // by entity index
  // Objects inserted, updated and deleted since the last save, in that order; entries that a later change
  // made moot (an inserted object deleted again) are skipped when saving.
  std::vector<std::shared_ptr<ManagedObject>> inserted_;
  std::vector<std::shared_ptr<ManagedObject>> updated_;
  std::vector<std::shared_ptr<ManagedObject>> deleted_;
  // The number of rows that the next save would insert, update or delete.
  std::size_t pendingChanges_ = 0;
  const ns::ThreadChecker ownerThread_;
};

}  // namespace cd
