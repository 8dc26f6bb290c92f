#include <gtest/gtest.h>

#include "platform/coredata/library_store_test_util.h"

namespace cd::testutil {
namespace {

using ContextGraphTest = LibraryStoreTest;

TEST_F(ContextGraphTest, SavedObjectsComeBackAsOneObjectPerRowWithValuesLinksAndOrder) {
  {
    auto context = openContext(storePath());
    auto shelf = insert<Shelf>(*context, "Shelf");
    shelf->setName("poetry");
    shelf->setRank(3);
    auto first = insertBook(*context, "first");
    auto second = insertBook(*context, "second");
    auto third = insertBook(*context, "third");
    // Linked out of insertion order: the shelf still lists them as inserted.
    third->setShelf(shelf);
    first->setShelf(shelf);
    second->setShelf(shelf);
    auto cover = insert<Cover>(*context, "Cover");
    cover->setColour("red");
    cover->setBook(second);
    ASSERT_TRUE(context->save().ok());
  }
  auto context = openContext(storePath());
  // Books are read before their shelf: every road to a row still reaches the same object.
  auto books = fetch<Book>(*context, "Book");
  auto shelves = fetch<Shelf>(*context, "Shelf");
  ASSERT_EQ(shelves.size(), 1u);
  EXPECT_EQ(shelves[0]->name(), "poetry");
  EXPECT_EQ(shelves[0]->rank(), 3);
  EXPECT_EQ(titlesOf(shelves[0]->books()), "first,second,third");
  EXPECT_EQ(shelves[0]->books(), books);
  EXPECT_EQ(books[0]->shelf(), shelves[0]);
  EXPECT_EQ(fetch<Book>(*context, "Book"), books);
  ASSERT_NE(books[1]->cover(), nullptr);
  EXPECT_EQ(books[1]->cover()->colour(), "red");
  EXPECT_EQ(books[1]->cover()->book(), books[1]);
  EXPECT_EQ(books[1]->pages(), std::nullopt);
}

TEST_F(ContextGraphTest, ObjectsInsertedSavedOrDeletedBeforeTheirEntityIsReadKeepOrderAndIdentity) {
  {
    auto context = openContext(storePath());
    for (int number = 0; number < 10; ++number) {
      insertBook(*context, "stored " + std::to_string(number));
    }
    ASSERT_TRUE(context->save().ok());
  }
  auto context = openContext(storePath());
  auto shelf = insert<Shelf>(*context, "Shelf");
  ASSERT_TRUE(context->save().ok());
  EXPECT_EQ(fetch<Shelf>(*context, "Shelf"), (std::vector<std::shared_ptr<Shelf>>{shelf}));
  // Saved then deleted before the books are read: its row is still in the file, yet no read brings it back.
  auto deleted = insertBook(*context, "deleted");
  ASSERT_TRUE(context->save().ok());
  context->deleteObject(*deleted);
  // Inserted before the stored books are read: it still lists after them.
  auto fresh = insertBook(*context, "fresh");
  auto books = fetch<Book>(*context, "Book");
  ASSERT_EQ(books.size(), 11u);
  EXPECT_EQ(books.front()->title(), "stored 0");
  EXPECT_EQ(books.back(), fresh);

  for (std::size_t index = 0; index + 2 < books.size(); ++index) {
    context->deleteObject(*books[index]);
  }
  EXPECT_EQ(titlesOf(fetch<Book>(*context, "Book")), "stored 9,fresh");
  EXPECT_EQ(fetch<Book>(*context, "Book", Predicate::equals("title", "stored 9")).front(), books[9]);
  ASSERT_TRUE(context->save().ok());
  EXPECT_EQ(titlesOf(fetch<Book>(*openContext(storePath()), "Book")), "stored 9,fresh");
}

TEST_F(ContextGraphTest, BothSidesOfEveryLinkMoveTogetherUntilTheContextIsGone) {
  auto context = openContext(storePath());
  auto left = insert<Shelf>(*context, "Shelf");
  auto right = insert<Shelf>(*context, "Shelf");
  auto book = insert<Book>(*context, "Book");
  auto part = insert<Book>(*context, "Book");

  book->setShelf(left);
  book->setShelf(right);
  EXPECT_TRUE(left->books().empty());
  ASSERT_EQ(right->books().size(), 1u);
  book->setShelf(nullptr);
  EXPECT_TRUE(right->books().empty());

  part->setWhole(book);
  EXPECT_EQ(book->parts(), (std::vector<std::shared_ptr<Book>>{part}));

  // One-to-one: giving the cover to another book takes it from the first, on both sides.
  auto cover = insert<Cover>(*context, "Cover");
  book->setCover(cover);
  EXPECT_EQ(cover->book(), book);
  part->setCover(cover);
  EXPECT_EQ(book->cover(), nullptr);
  EXPECT_EQ(cover->book(), part);

  // Objects outliving their context keep their values and drop their links.
  part->setTitle("survivor");
  context.reset();
  EXPECT_EQ(part->managedObjectContext(), nullptr);
  EXPECT_EQ(part->title(), "survivor");
  EXPECT_EQ(part->whole(), nullptr);
  EXPECT_EQ(part->cover(), nullptr);
}

TEST_F(ContextGraphTest, DeleteRulesCascadeDownAndNullifyUp) {
  {
    auto context = openContext(storePath());
    auto shelf = insert<Shelf>(*context, "Shelf");
    auto kept = insert<Shelf>(*context, "Shelf");
    kept->setName("kept");
    auto book = insertBook(*context, std::nullopt, shelf);
    auto part = insert<Book>(*context, "Book");
    part->setWhole(book);
    insert<Cover>(*context, "Cover")->setBook(part);
    auto loose = insertBook(*context, "loose", kept);
    insertBook(*context, "part of loose")->setWhole(loose);
    ASSERT_TRUE(context->save().ok());
  }
  auto context = openContext(storePath());
  auto shelves = fetch<Shelf>(*context, "Shelf", Predicate::equals("name", ns::Value()));
  ASSERT_EQ(shelves.size(), 1u);
  context->deleteObject(*shelves[0]);
  // The shelf's book, that book's part and the part's cover go with it.
  EXPECT_EQ(titlesOf(fetch<Book>(*context, "Book")), "loose,part of loose");
  EXPECT_TRUE(fetch<Cover>(*context, "Cover").empty());

  // Deleting a part leaves the whole, which no longer lists it.
  auto partOfLoose = fetch<Book>(*context, "Book", Predicate::equals("title", "part of loose"))[0];
  auto loose = partOfLoose->whole();
  context->deleteObject(*partOfLoose);
  EXPECT_TRUE(partOfLoose->isDeleted());
  EXPECT_TRUE(loose->parts().empty());
  EXPECT_EQ(loose->shelf()->name(), "kept");
  ASSERT_TRUE(context->save().ok());
  EXPECT_EQ(partOfLoose->managedObjectContext(), nullptr);

  auto reopened = openContext(storePath());
  EXPECT_EQ(titlesOf(fetch<Book>(*reopened, "Book")), "loose");
  EXPECT_EQ(fetch<Shelf>(*reopened, "Shelf").size(), 1u);
  EXPECT_TRUE(fetch<Cover>(*reopened, "Cover").empty());
}

TEST_F(ContextGraphTest, ChangesAreCountedOnlyWhenSomethingReallyChanged) {
  auto context = openContext(storePath());
  EXPECT_FALSE(context->hasChanges());
  auto book = insert<Book>(*context, "Book");
  book->setTitle("draft");
  EXPECT_TRUE(context->hasChanges());
  ASSERT_TRUE(context->save().ok());
  EXPECT_FALSE(context->hasChanges());

  book->setTitle("draft");
  EXPECT_FALSE(context->hasChanges());
  book->setTitle("final");
  EXPECT_TRUE(context->hasChanges());
  ASSERT_TRUE(context->save().ok());

  // An object inserted and deleted before a save leaves nothing to save.
  auto scrap = insert<Book>(*context, "Book");
  context->deleteObject(*scrap);
  EXPECT_FALSE(context->hasChanges());
  EXPECT_EQ(scrap->managedObjectContext(), nullptr);
}

TEST_F(ContextGraphTest, AFailedSaveKeepsTheChangesAndWritesNothing) {
  auto context = openContext(storePath());
  insert<Shelf>(*context, "Shelf");
  auto book = insertBook(*context, "clash");
  // Another connection takes the book's row key first, so the save's insert fails half-way.
  auto other = SqliteDatabase::open(storePath());
  ASSERT_TRUE(other.ok());
  const std::string key = std::to_string(book->primaryKey());
  ASSERT_TRUE((*other)->execute("INSERT INTO \"Book\" (Z_PK) VALUES (" + key + ")").ok());

  ns::Status saved = context->save();
  ASSERT_FALSE(saved.ok());
  EXPECT_EQ(saved.error().code(), kPersistentStoreSaveError);
  EXPECT_TRUE(context->hasChanges());
  EXPECT_TRUE(fetch<Shelf>(*openContext(storePath()), "Shelf").empty());

  ASSERT_TRUE((*other)->execute("DELETE FROM \"Book\" WHERE Z_PK = " + key).ok());
  ASSERT_TRUE(context->save().ok());
  EXPECT_FALSE(context->hasChanges());
  auto reopened = openContext(storePath());
  EXPECT_EQ(titlesOf(fetch<Book>(*reopened, "Book")), "clash");
  EXPECT_EQ(fetch<Shelf>(*reopened, "Shelf").size(), 1u);
}

TEST_F(ContextGraphTest, AttributeChangesReachObserversWithOldAndNewValues) {
  auto context = openContext(storePath());
  auto shelf = insert<Shelf>(*context, "Shelf");
  std::vector<std::string> seen;
  ns::KeyValueObservation observation = shelf->observe("rank", [&](const ns::KeyValueChange& change) {
    seen.push_back(ns::describe(change.oldValue) + "->" + ns::describe(change.newValue));
  });
  shelf->setRank(1);
  shelf->setRank(1);
  shelf->setRank(std::nullopt);
  shelf->setName("not observed");
  EXPECT_EQ(seen, (std::vector<std::string>{"<null>->1", "1->1", "1-><null>"}));
  EXPECT_EQ(shelf->valueForKey("name"), ns::Value("not observed"));
  EXPECT_TRUE(shelf->valueForKey("books").isNull());
}

}  // namespace
}  // namespace cd::testutil
