#pragma once

// Opens library stores in a temporary sandbox, as a fresh process would, for the object store's tests.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/coredata/CoreDataErrors.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/coredata/library_model_test_util.h"
#include "platform/foundation/storage/sandbox_test_util.h"

namespace cd::testutil {

// Returns a context on a new coordinator over the file at `path`, or fails the test and returns nullptr.
inline std::shared_ptr<ManagedObjectContext> openContext(
    const std::string& path, std::shared_ptr<const ManagedObjectModel> model = libraryModel()) {
  auto coordinator = std::make_shared<PersistentStoreCoordinator>(std::move(model));
  ns::Status added = coordinator->addSQLiteStoreAtPath(path);
  EXPECT_TRUE(added.ok()) << (added ? "" : added.error().localizedDescription());
  if (!added) {
    return nullptr;
  }
  return std::make_shared<ManagedObjectContext>(coordinator);
}

template <typename T>
std::shared_ptr<T> insert(ManagedObjectContext& context, const char* entityName) {
  return std::dynamic_pointer_cast<T>(context.insertNewObjectForEntityForName(entityName));
}

// Inserts a book titled `title` on `shelf`.
inline std::shared_ptr<Book> insertBook(ManagedObjectContext& context, std::optional<std::string> title,
                                        const std::shared_ptr<Shelf>& shelf = nullptr) {
  auto book = insert<Book>(context, "Book");
  book->setTitle(std::move(title));
  book->setShelf(shelf);
  return book;
}

// Returns the objects of `entityName` matching `predicate` (all without one), failing the test on error.
template <typename T>
std::vector<std::shared_ptr<T>> fetch(ManagedObjectContext& context, const char* entityName,
                                      std::optional<Predicate> predicate = std::nullopt) {
  auto fetched = context.executeFetchRequest(FetchRequest{entityName, std::move(predicate), {}});
  EXPECT_TRUE(fetched.ok());
  std::vector<std::shared_ptr<T>> typed;
  if (fetched) {
    for (const auto& object : *fetched) {
      typed.push_back(std::dynamic_pointer_cast<T>(object));
    }
  }
  return typed;
}

// Titles of `books`, in order, with "nil" for a missing title.
inline std::vector<std::string> titlesOf(const std::vector<std::shared_ptr<Book>>& books) {
  std::vector<std::string> titles;
  for (const auto& book : books) {
    titles.push_back(book->title().value_or("nil"));
  }
  return titles;
}

// A temporary sandbox with a library store file in its Documents folder.
class LibraryStoreTest : public ::testing::Test {
 protected:
  std::string storePath() const { return ns::Sandbox::documentsDirectory() + "/Library.sqlite"; }

  ns::testutil::TemporarySandbox sandbox_;
};

}  // namespace cd::testutil
