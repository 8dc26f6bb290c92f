#include <gtest/gtest.h>

#include "platform/coredata/library_store_test_util.h"

namespace cd::testutil {
namespace {

class FetchPredicateTest : public LibraryStoreTest {
 protected:
  void SetUp() override {
    context_ = openContext(storePath());
    ASSERT_NE(context_, nullptr);
    poetry_ = insert<Shelf>(*context_, "Shelf");
    poetry_->setName("poetry");
    addBook("9", 90, poetry_);
    addBook("10", 100, poetry_);
    addBook("2", 20, nullptr);
    addBook(std::nullopt, std::nullopt, poetry_);
  }

  void addBook(std::optional<std::string> title, std::optional<std::int64_t> pages,
               const std::shared_ptr<Shelf>& shelf) {
    insertBook(*context_, std::move(title), shelf)->setPages(pages);
  }

  std::string titlesWhere(Predicate predicate) {
    return titlesOf(fetch<Book>(*context_, "Book", std::move(predicate)));
  }

  std::shared_ptr<ManagedObjectContext> context_;
  std::shared_ptr<Shelf> poetry_;
};

TEST_F(FetchPredicateTest, ComparesByTheAttributesTypeAndFollowsToOneKeyPaths) {
  using enum ComparisonOperator;
  const std::vector<std::pair<Predicate, std::string>> cases = {
      {Predicate::equals("pages", 100), "10"},
      {Predicate::compare("pages", kGreaterThan, 20), "9,10"},
      {Predicate::compare("pages", kLessThanOrEqualTo, 90), "9,2"},
      // Nil equals only nil.
      {Predicate::compare("pages", kNotEqualTo, 20), "9,10,nil"},
      {Predicate::equals("pages", ns::Value()), "nil"},
      // A text constant is read as the attribute's type, and a number as text.
      {Predicate::equals("pages", "90"), "9"},
      {Predicate::equals("title", 10), "10"},
      // Texts compare by UTF-16 code units.
      {Predicate::compare("title", kLessThan, "9"), "10,2"},
      {Predicate::compare("title", kGreaterThanOrEqualTo, "2"), "9,2"},
      {Predicate::allOf(
           {Predicate::equals("shelf.name", "poetry"), Predicate::compare("pages", kGreaterThan, 95)}),
       "10"},
      // A key path through a missing object reads nil.
      {Predicate::equals("shelf.name", ns::Value()), "2"},
      {Predicate::isObject("shelf", poetry_), "9,10,nil"},
      {Predicate::isObject("shelf", nullptr), "2"},
      {Predicate::allOf({}), "9,10,2,nil"},
  };
  for (std::size_t index = 0; index < cases.size(); ++index) {
    EXPECT_EQ(titlesWhere(cases[index].first), cases[index].second) << "case " << index;
  }
}

TEST_F(FetchPredicateTest, IndexedLookupsFollowRenamesAndDeletes) {
  auto books = fetch<Book>(*context_, "Book", Predicate::equals("title", "9"));
  ASSERT_EQ(books.size(), 1u);
  books[0]->setTitle("nine");
  EXPECT_EQ(titlesWhere(Predicate::equals("title", "9")), "");
  EXPECT_EQ(titlesWhere(Predicate::equals("title", "nine")), "nine");
  context_->deleteObject(*books[0]);
  EXPECT_EQ(titlesWhere(Predicate::equals("title", "nine")), "");
  // Two objects with one key are both found.
  addBook("2", 21, nullptr);
  EXPECT_EQ(titlesWhere(Predicate::allOf({Predicate::equals("title", "2"),
                                          Predicate::compare("pages", ComparisonOperator::kGreaterThan, 0)})),
            "2,2");
}

TEST_F(FetchPredicateTest, FindsSavedRowsAfterReopening) {
  ASSERT_TRUE(context_->save().ok());
  auto reopened = openContext(storePath());
  auto books = reopened->executeFetchRequest(
      FetchRequest{"Book", Predicate::equals("title", "10"), {"shelf", "cover"}});
  ASSERT_TRUE(books.ok());
  ASSERT_EQ(books->size(), 1u);
  EXPECT_EQ(std::dynamic_pointer_cast<Book>((*books)[0])->shelf()->name(), "poetry");
}

TEST_F(FetchPredicateTest, AnUnknownEntityIsAnError) {
  auto fetched = context_->executeFetchRequest(FetchRequest{"Magazine", std::nullopt, {}});
  ASSERT_FALSE(fetched.ok());
  EXPECT_EQ(fetched.error().code(), kCoreDataError);
  EXPECT_EQ(context_->insertNewObjectForEntityForName("Magazine"), nullptr);
}

}  // namespace
}  // namespace cd::testutil
