#pragma once

// A small model for exercising the object store on its own: shelves hold books (cascade), a book may hold
// parts (books again, cascade) and has at most one cover (one-to-one, cascade). `libraryModel()` is the
// current version; `libraryModelVersion1()` is the older one that lacked Book.pages and the Cover entity,
// for upgrade tests.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/ManagedObjectModel.h"

namespace cd::testutil {

class Cover;

// Which version of the library model an entity belongs to.
enum class LibraryVersion { kVersion1, kCurrent };

class Shelf : public ManagedObject {
 public:
  enum Attribute { kName, kRank };
  enum Relationship { kBooks };

  static EntityDescription entity();

  std::optional<std::string> name() const { return textValue(kName); }
  void setName(std::optional<std::string> name) { setTextValue(kName, std::move(name)); }
  std::optional<std::int64_t> rank() const { return integerValue(kRank); }
  void setRank(std::optional<std::int64_t> rank) { setIntegerValue(kRank, rank); }
  std::vector<std::shared_ptr<class Book>> books() const;
};

class Book : public ManagedObject {
 public:
  enum Attribute { kTitle, kPages };
  enum Relationship { kShelf, kParts, kWhole, kCover };

  static EntityDescription entity(LibraryVersion version = LibraryVersion::kCurrent);

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

  static EntityDescription entity();

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

inline EntityDescription Shelf::entity() {
  return EntityDescription(
      "Shelf", makeObjectOf<Shelf>,
      {{"name", AttributeType::kText, AttributeIndexing::kIndexed}, {"rank", AttributeType::kInteger}},
      {{"books", "Book", Cardinality::kToMany, "shelf", DeleteRule::kCascade}});
}

inline EntityDescription Book::entity(LibraryVersion version) {
  std::vector<AttributeDescription> attributes = {
      {"title", AttributeType::kText, AttributeIndexing::kIndexed}};
  std::vector<RelationshipDescription> relationships = {
      {"shelf", "Shelf", Cardinality::kToOne, "books", DeleteRule::kNullify},
      {"parts", "Book", Cardinality::kToMany, "whole", DeleteRule::kCascade},
      {"whole", "Book", Cardinality::kToOne, "parts", DeleteRule::kNullify}};
  if (version == LibraryVersion::kCurrent) {
    attributes.push_back({"pages", AttributeType::kInteger});
    relationships.push_back({"cover", "Cover", Cardinality::kToOne, "book", DeleteRule::kCascade});
  }
  return EntityDescription("Book", makeObjectOf<Book>, std::move(attributes), std::move(relationships));
}

inline EntityDescription Cover::entity() {
  return EntityDescription("Cover", makeObjectOf<Cover>, {{"colour", AttributeType::kText}},
                           {{"book", "Book", Cardinality::kToOne, "cover", DeleteRule::kNullify}});
}

inline std::shared_ptr<const ManagedObjectModel> libraryModel() {
  return std::make_shared<const ManagedObjectModel>(
      "Library", std::vector<EntityDescription>{Shelf::entity(), Book::entity(), Cover::entity()});
}

inline std::shared_ptr<const ManagedObjectModel> libraryModelVersion1() {
  return std::make_shared<const ManagedObjectModel>(
      "Library", std::vector<EntityDescription>{Shelf::entity(), Book::entity(LibraryVersion::kVersion1)});
}

}  // namespace cd::testutil
