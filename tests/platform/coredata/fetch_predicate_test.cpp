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

  std::vector<std::string> titlesWhere(Predicate predicate) {
    return titlesOf(fetch<Book>(*context_, "Book", std::move(predicate)));
  }

  std::shared_ptr<ManagedObjectContext> context_;
  std::shared_ptr<Shelf> poetry_;
};

TEST_F(FetchPredicateTest, ComparesIntegersByValueAndNilOnlyWithNil) {
  EXPECT_EQ(titlesWhere(Predicate::equals("pages", 100)), (std::vector<std::string>{"10"}));
  EXPECT_EQ(titlesWhere(Predicate::compare("pages", ComparisonOperator::kGreaterThan, 20)),
            (std::vector<std::string>{"9", "10"}));
  EXPECT_EQ(titlesWhere(Predicate::compare("pages", ComparisonOperator::kLessThanOrEqualTo, 90)),
            (std::vector<std::string>{"9", "2"}));
  EXPECT_EQ(titlesWhere(Predicate::compare("pages", ComparisonOperator::kNotEqualTo, 20)),
            (std::vector<std::string>{"9", "10", "nil"}));
  EXPECT_EQ(titlesWhere(Predicate::equals("pages", ns::Value())), (std::vector<std::string>{"nil"}));
  // A text constant is read as the attribute's type.
  EXPECT_EQ(titlesWhere(Predicate::equals("pages", "90")), (std::vector<std::string>{"9"}));
}

TEST_F(FetchPredicateTest, ComparesTextsByUtf16CodeUnits) {
  EXPECT_EQ(titlesWhere(Predicate::compare("title", ComparisonOperator::kLessThan, "9")),
            (std::vector<std::string>{"10", "2"}));
  EXPECT_EQ(titlesWhere(Predicate::compare("title", ComparisonOperator::kGreaterThanOrEqualTo, "2")),
            (std::vector<std::string>{"9", "2"}));
  // A number constant is compared as its text.
  EXPECT_EQ(titlesWhere(Predicate::equals("title", 10)), (std::vector<std::string>{"10"}));
}

TEST_F(FetchPredicateTest, JoinsTermsWithAndAndFollowsToOneKeyPaths) {
  EXPECT_EQ(
      titlesWhere(Predicate::allOf({Predicate::equals("shelf.name", "poetry"),
                                    Predicate::compare("pages", ComparisonOperator::kGreaterThan, 95)})),
      (std::vector<std::string>{"10"}));
  // A key path through a missing object reads nil.
  EXPECT_EQ(titlesWhere(Predicate::equals("shelf.name", ns::Value())), (std::vector<std::string>{"2"}));
  EXPECT_EQ(titlesWhere(Predicate::isObject("shelf", poetry_)), (std::vector<std::string>{"9", "10", "nil"}));
  EXPECT_EQ(titlesWhere(Predicate::isObject("shelf", nullptr)), (std::vector<std::string>{"2"}));
  EXPECT_EQ(titlesWhere(Predicate::allOf({})).size(), 4u);
}

TEST_F(FetchPredicateTest, IndexedLookupsFollowRenamesAndDeletes) {
  auto books = fetch<Book>(*context_, "Book", Predicate::equals("title", "9"));
  ASSERT_EQ(books.size(), 1u);
  books[0]->setTitle("nine");
  EXPECT_TRUE(titlesWhere(Predicate::equals("title", "9")).empty());
  EXPECT_EQ(titlesWhere(Predicate::equals("title", "nine")), (std::vector<std::string>{"nine"}));
  context_->deleteObject(*books[0]);
  EXPECT_TRUE(titlesWhere(Predicate::equals("title", "nine")).empty());
  // Two objects with one key are both found, in insertion order.
  addBook("2", 21, nullptr);
  EXPECT_EQ(titlesWhere(Predicate::allOf({Predicate::equals("title", "2"),
                                          Predicate::compare("pages", ComparisonOperator::kGreaterThan, 0)}))
                .size(),
            2u);
}

TEST_F(FetchPredicateTest, FindsSavedRowsAfterReopening) {
  ASSERT_TRUE(context_->save().ok());
  auto reopened = openContext(storePath());
  auto request = FetchRequest{"Book", Predicate::equals("title", "10"), {"shelf", "cover"}};
  auto books = reopened->executeFetchRequest(request);
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
