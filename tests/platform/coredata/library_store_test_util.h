#pragma once

// A small library model for the object store's tests, opened in a temporary sandbox as a fresh process
// would: shelves hold books, books hold parts (books again) and one cover, each cascading on delete.
// Version 1 of the model lacks Book.pages and the Cover entity, for upgrade tests.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/coredata/CoreDataErrors.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/foundation/storage/sandbox_test_util.h"

namespace cd::testutil {

class Book;
class Cover;

class Shelf : public ManagedObject {
 public:
  enum Attribute { kName, kRank };
  enum Relationship { kBooks };
  std::optional<std::string> name() const { return textValue(kName); }
  void setName(std::optional<std::string> name) { setTextValue(kName, std::move(name)); }
  std::optional<std::int64_t> rank() const { return integerValue(kRank); }
  void setRank(std::optional<std::int64_t> rank) { setIntegerValue(kRank, rank); }
  std::vector<std::shared_ptr<Book>> books() const;
};

class Book : public ManagedObject {
 public:
  enum Attribute { kTitle, kPages };
  enum Relationship { kShelf, kParts, kWhole, kCover };
  std::optional<std::string> title() const { return textValue(kTitle); }
  void setTitle(std::optional<std::string> title) { setTextValue(kTitle, std::move(title)); }
  std::optional<std::int64_t> pages() const { return integerValue(kPages); }
  void setPages(std::optional<std::int64_t> pages) { setIntegerValue(kPages, pages); }
  std::shared_ptr<Shelf> shelf() const { return relatedObjectAs<Shelf>(kShelf); }
  void setShelf(const std::shared_ptr<Shelf>& shelf) { setRelatedObject(kShelf, shelf); }
  std::vector<std::shared_ptr<Book>> parts() const { return relatedObjectsAs<Book>(kParts); }
  std::shared_ptr<Book> whole() const { return relatedObjectAs<Book>(kWhole); }
  void setWhole(const std::shared_ptr<Book>& whole) { setRelatedObject(kWhole, whole); }
  std::shared_ptr<Cover> cover() const;
  void setCover(const std::shared_ptr<Cover>& cover);
};

class Cover : public ManagedObject {
 public:
  enum Attribute { kColour };
  enum Relationship { kBook };
  std::optional<std::string> colour() const { return textValue(kColour); }
  void setColour(std::optional<std::string> colour) { setTextValue(kColour, std::move(colour)); }
  std::shared_ptr<Book> book() const { return relatedObjectAs<Book>(kBook); }
  void setBook(const std::shared_ptr<Book>& book) { setRelatedObject(kBook, book); }
};

inline std::vector<std::shared_ptr<Book>> Shelf::books() const {
  return relatedObjectsAs<Book>(kBooks);
}
inline std::shared_ptr<Cover> Book::cover() const {
  return relatedObjectAs<Cover>(kCover);
}
inline void Book::setCover(const std::shared_ptr<Cover>& cover) {
  setRelatedObject(kCover, cover);
}

inline std::vector<EntityDescription> libraryEntities(bool version1 = false) {
  std::vector<AttributeDescription> bookAttributes = {
      {"title", AttributeType::kText, AttributeIndexing::kIndexed}};
  std::vector<RelationshipDescription> bookRelationships = {
      {"shelf", "Shelf", Cardinality::kToOne, "books", DeleteRule::kNullify},
      {"parts", "Book", Cardinality::kToMany, "whole", DeleteRule::kCascade},
      {"whole", "Book", Cardinality::kToOne, "parts", DeleteRule::kNullify}};
  if (!version1) {
    bookAttributes.push_back({"pages", AttributeType::kInteger});
    bookRelationships.push_back({"cover", "Cover", Cardinality::kToOne, "book", DeleteRule::kCascade});
  }
  std::vector<EntityDescription> entities = {
      EntityDescription(
          "Shelf", makeObjectOf<Shelf>,
          {{"name", AttributeType::kText, AttributeIndexing::kIndexed}, {"rank", AttributeType::kInteger}},
          {{"books", "Book", Cardinality::kToMany, "shelf", DeleteRule::kCascade}}),
      EntityDescription("Book", makeObjectOf<Book>, std::move(bookAttributes), std::move(bookRelationships))};
  if (!version1) {
    entities.emplace_back("Cover", makeObjectOf<Cover>,
                          std::vector<AttributeDescription>{{"colour", AttributeType::kText}},
                          std::vector<RelationshipDescription>{
                              {"book", "Book", Cardinality::kToOne, "cover", DeleteRule::kNullify}});
  }
  return entities;
}

inline std::shared_ptr<const ManagedObjectModel> libraryModel(bool version1 = false) {
  return std::make_shared<const ManagedObjectModel>("Library", libraryEntities(version1));
}

// Returns a context on a new coordinator over the file at `path`, or fails the test and returns nullptr.
inline std::shared_ptr<ManagedObjectContext> openContext(
    const std::string& path, std::shared_ptr<const ManagedObjectModel> model = libraryModel()) {
  auto coordinator = std::make_shared<PersistentStoreCoordinator>(std::move(model));
  ns::Status added = coordinator->addSQLiteStoreAtPath(path);
  EXPECT_TRUE(added.ok()) << (added ? "" : added.error().localizedDescription());
  return added ? std::make_shared<ManagedObjectContext>(coordinator) : nullptr;
}

template <typename T>
std::shared_ptr<T> insert(ManagedObjectContext& context, const char* entityName) {
  return std::dynamic_pointer_cast<T>(context.insertNewObjectForEntityForName(entityName));
}

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
  for (const auto& object : fetched ? *fetched : std::vector<std::shared_ptr<ManagedObject>>{}) {
    typed.push_back(std::dynamic_pointer_cast<T>(object));
  }
  return typed;
}

// The titles of `books` in order, joined by ",", with "nil" for a missing title.
inline std::string titlesOf(const std::vector<std::shared_ptr<Book>>& books) {
  std::string titles;
  for (const auto& book : books) {
    titles += (&book == books.data() ? "" : ",") + book->title().value_or("nil");
  }
  return titles;
}

class LibraryStoreTest : public ::testing::Test {
 protected:
  std::string storePath() const { return ns::Sandbox::documentsDirectory() + "/Library.sqlite"; }

  ns::testutil::TemporarySandbox sandbox_;
};

}  // namespace cd::testutil
