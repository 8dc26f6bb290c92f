#pragma once

// BinaryPropertyListLayout: the object table of a binary property list, read only as far as the checks that
// must run before libplist reads a document need (BinaryPropertyListChecks.h). It builds no values and does
// not check the document as a whole; libplist does that.
//
// A binary document is the "bplist00" header, the objects, a table of their offsets and a 32-byte trailer.
// Each object starts with a marker byte: its type in the high four bits and its element count in the low
// four, or 0xF when an integer object that holds the count follows. Arrays and sets list references to their
// elements, dictionaries references to their keys and then to their values; a reference is an index into the
// offset table.
//
// Thread-safe: immutable once read. The layout points into the document, which must outlive it.

#include <cstdint>
#include <optional>
#include <span>

namespace ns {

class BinaryPropertyListLayout {
 public:
  // The object types that the checks look at, as the high four bits of a marker.
  static constexpr std::uint8_t kAsciiString = 0x5;
  static constexpr std::uint8_t kUtf16String = 0x6;
  static constexpr std::uint8_t kArray = 0xA;
  static constexpr std::uint8_t kSet = 0xC;
  static constexpr std::uint8_t kDictionary = 0xD;

  struct Object {
    std::uint8_t type;
    // The element count (characters, units or references), or nullopt when it cannot be read.
    std::optional<std::uint64_t> count;
    // The offset of what follows the marker and the count: the characters or the references.
    std::uint64_t contents;
  };

  // Returns the layout of `document`, or nullopt when its trailer or offset table does not lie in it, which
  // libplist refuses by itself.
  static std::optional<BinaryPropertyListLayout> read(std::span<const std::uint8_t> document);

  const std::span<const std::uint8_t>& document() const { return document_; }
  // The number of entries of the offset table that lie in the document.
  std::uint64_t objectCount() const { return objectCount_; }
  std::uint64_t topObject() const { return topObject_; }

  // Returns object `index`, or nullopt when the offset table has no such entry or it points outside the
  // document.
  std::optional<Object> object(std::uint64_t index) const;
  // Returns the number of whole references that fit between `contents` and the end of the document.
  std::uint64_t referencesFittingAt(std::uint64_t contents) const;
  // Returns the object index of reference `position` in the list of references at `contents`, or nullopt
  // when it does not lie in the document.
  std::optional<std::uint64_t> reference(std::uint64_t contents, std::uint64_t position) const;

 private:
  BinaryPropertyListLayout(std::span<const std::uint8_t> document, std::uint64_t offsetSize,
                           std::uint64_t referenceSize, std::uint64_t objectCount, std::uint64_t topObject,
                           std::uint64_t offsetTable);

  // Constant after construction
  std::span<const std::uint8_t> document_;
  std::uint64_t offsetSize_;
  std::uint64_t referenceSize_;
  std::uint64_t objectCount_;
  std::uint64_t topObject_;
  std::uint64_t offsetTable_;
};

}  // namespace ns
