#include <gtest/gtest.h>

#include "platform/coredata/library_store_test_util.h"
#include "platform/foundation/storage/FileManager.h"

namespace cd::testutil {
namespace {

using StoreFileTest = LibraryStoreTest;

ns::Data contentsOf(const std::string& path) {
  auto contents = ns::FileManager::defaultManager().contentsAtPath(path);
  EXPECT_TRUE(contents.ok());
  return contents ? *contents : ns::Data();
}

// Runs `sql` on the file at `path` over a connection of its own.
void executeSql(const std::string& path, const std::string& sql) {
  auto database = SqliteDatabase::open(path);
  ASSERT_TRUE(database.ok());
  ASSERT_TRUE((*database)->execute(sql).ok()) << sql;
}

// Returns the error of adding the store at `path` for the library model.
ns::Error openingError(const std::string& path) {
  PersistentStoreCoordinator coordinator(libraryModel());
  ns::Status added = coordinator.addSQLiteStoreAtPath(path);
  EXPECT_FALSE(added.ok());
  EXPECT_FALSE(coordinator.hasStore());
  return added ? ns::Error("none", 0) : added.error();
}

TEST_F(StoreFileTest, ANewerModelOpensAnOlderFileAndKeepsItsData) {
  {
    auto context = openContext(storePath(), libraryModel(true));
    auto shelf = insert<Shelf>(*context, "Shelf");
    shelf->setName("old");
    insertBook(*context, "kept", shelf);
    ASSERT_TRUE(context->save().ok());
  }
  auto context = openContext(storePath());
  auto books = fetch<Book>(*context, "Book");
  ASSERT_EQ(books.size(), 1u);
  EXPECT_EQ(books[0]->title(), "kept");
  EXPECT_EQ(books[0]->shelf()->name(), "old");
  EXPECT_EQ(books[0]->pages(), std::nullopt);
  books[0]->setPages(12);
  insert<Cover>(*context, "Cover")->setBook(books[0]);
  ASSERT_TRUE(context->save().ok());

  auto reopened = openContext(storePath());
  auto upgraded = fetch<Book>(*reopened, "Book");
  EXPECT_EQ(upgraded[0]->pages(), 12);
  EXPECT_NE(upgraded[0]->cover(), nullptr);
  // The older model still opens the upgraded file; it simply does not see the new parts.
  EXPECT_EQ(titlesOf(fetch<Book>(*openContext(storePath(), libraryModel(true)), "Book")), "kept");
}

TEST_F(StoreFileTest, AFileThatIsNotAStoreOfThisModelIsRefusedUnchanged) {
  const std::string documents = ns::Sandbox::documentsDirectory() + "/";
  const ns::Data garbage = ns::dataFromString(std::string(4096, 'x'));
  ASSERT_TRUE(ns::FileManager::defaultManager().createFileAtPath(documents + "garbage", garbage).ok());
  ASSERT_TRUE(
      PersistentStoreCoordinator(std::make_shared<const ManagedObjectModel>("Atlas", libraryEntities()))
          .addSQLiteStoreAtPath(documents + "atlas")
          .ok());
  executeSql(documents + "foreign", "CREATE TABLE notes (body TEXT); INSERT INTO notes VALUES ('mine')");
  const std::vector<std::pair<std::string, std::int64_t>> cases = {
      {"garbage", kFileReadCorruptFileError},
      {"atlas", kPersistentStoreIncompatibleVersionHashError},
      {"foreign", kPersistentStoreIncompatibleVersionHashError}};
  for (const auto& [name, code] : cases) {
    const ns::Data before = contentsOf(documents + name);
    EXPECT_EQ(openingError(documents + name).code(), code) << name;
    EXPECT_EQ(contentsOf(documents + name), before) << name;
  }
}

TEST_F(StoreFileTest, AColumnOfAnotherTypeStopsTheUpgradeWithoutChangingTheFile) {
  {
    auto context = openContext(storePath(), libraryModel(true));
    insertBook(*context, "kept");
    ASSERT_TRUE(context->save().ok());
    executeSql(storePath(), "ALTER TABLE \"Book\" ADD COLUMN \"pages\" TEXT");
  }
  EXPECT_EQ(openingError(storePath()).code(), kMigrationError);
  // The failed upgrade added nothing: the older model still reads the file as before.
  auto context = openContext(storePath(), libraryModel(true));
  EXPECT_EQ(titlesOf(fetch<Book>(*context, "Book")), "kept");
  EXPECT_TRUE(fetch<Shelf>(*context, "Shelf").empty());
}

TEST_F(StoreFileTest, ValuesOfAnotherTypeInTheFileReadAsTheAttributesType) {
  {
    auto context = openContext(storePath());
    insert<Book>(*context, "Book");
    ASSERT_TRUE(context->save().ok());
    executeSql(storePath(), "UPDATE \"Book\" SET \"title\" = 42, \"pages\" = '17 pages'");
  }
  auto books = fetch<Book>(*openContext(storePath()), "Book");
  ASSERT_EQ(books.size(), 1u);
  EXPECT_EQ(books[0]->title(), "42");
  EXPECT_EQ(books[0]->pages(), 17);
}

}  // namespace
}  // namespace cd::testutil
