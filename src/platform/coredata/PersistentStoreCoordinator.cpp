#include "platform/coredata/PersistentStoreCoordinator.h"

#include "platform/foundation/check/Check.h"

namespace cd {

PersistentStoreCoordinator::PersistentStoreCoordinator(std::shared_ptr<const ManagedObjectModel> model)
    : model_(std::move(model)) {}

ns::Status PersistentStoreCoordinator::addSQLiteStoreAtPath(const std::string& path) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  QM_DCHECK(!hasStore(), "!hasStore()");
  ns::Result<std::unique_ptr<SqliteStore>> opened = SqliteStore::open(path, *model_);
  if (!opened) {
    return opened.error();
  }
  store_ = std::move(*opened);
  return ns::Status();
}

}  // namespace cd
