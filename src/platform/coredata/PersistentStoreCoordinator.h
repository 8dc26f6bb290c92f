#pragma once

// cd::PersistentStoreCoordinator: joins a model to the file that holds its objects. Contexts made on a
// coordinator read and write through it. A coordinator without a store serves no context.
//
// Not thread-safe: a coordinator and its contexts belong to one thread (the main thread in the
// application).

#include <memory>
#include <string>

#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/SqliteStore.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/values/Result.h"

namespace cd {

class PersistentStoreCoordinator {
 public:
  explicit PersistentStoreCoordinator(std::shared_ptr<const ManagedObjectModel> model);

  const std::shared_ptr<const ManagedObjectModel>& managedObjectModel() const { return model_; }

  // Opens the SQLite file at `path` as the store, creating it when missing and upgrading an older file of the
  // same model in place (new entities and attributes are added; existing data stays). Returns success, or
  // the error with the coordinator still without a store; the file is never deleted or replaced.
  // REQUIRES: !hasStore().
  ns::Status addSQLiteStoreAtPath(const std::string& path);

  bool hasStore() const { return store_ != nullptr; }
  // REQUIRES: hasStore().
  SqliteStore& store() {
    QM_DCHECK_CALLED_ON(ownerThread_);
    QM_DCHECK(hasStore(), "hasStore()");
    return *store_;
  }

 private:
  // Constant after construction.
  const std::shared_ptr<const ManagedObjectModel> model_;
  std::unique_ptr<SqliteStore> store_;
  const ns::ThreadChecker ownerThread_;
};

}  // namespace cd
