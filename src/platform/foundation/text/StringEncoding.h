#pragma once

// ns::StringEncoding: a character encoding in which text travels as bytes (UTF-8, ISO-8859-1, GBK, ...),
// found by its IANA character-set name as HTTP responses give it, with decoding of bytes into this code
// base's UTF-8 text and encoding of UTF-8 text into bytes. Neither direction guesses: bytes that are not
// valid in the encoding, or text it cannot represent, make the conversion fail rather than yield
// replacement characters.
//
// Thread-safe: a plain value; conversions share nothing.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/foundation/values/Data.h"

namespace ns {

class StringEncoding {
 public:
  static StringEncoding utf8();
  static StringEncoding ascii();
  static StringEncoding isoLatin1();

  // Returns the encoding that `name` names among the IANA character-set names and their common aliases
  // ("utf-8", "ISO-8859-1", "latin1", "GBK", "gb2312", "Shift_JIS", ...), compared without regard to case,
  // or std::nullopt when the platform knows no such encoding (an empty name included). Callers that need
  // an answer in every case take UTF-8 for an unknown name, as the platform's URL loading does:
  // fromIANACharsetName(name).value_or(StringEncoding::utf8()).
  static std::optional<StringEncoding> fromIANACharsetName(std::string_view name);

  // Returns the bytes as UTF-8 text, or std::nullopt when they are not valid in this encoding (including a
  // character cut off at the end).
  // REQUIRES: bytes.size() < 2^31.
  std::optional<std::string> decode(std::span<const std::uint8_t> bytes) const;

  // Returns `text` as bytes in this encoding, or std::nullopt when it holds a character that the encoding
  // cannot represent. Ill-formed UTF-8 in `text` is read as U+FFFD.
  // REQUIRES: text.size() < 2^31.
  std::optional<Data> encode(std::string_view text) const;

  // The encoding's canonical name in the platform's converter table ("UTF-8", "ISO-8859-1",
  // "windows-936-2000" for GBK, ...).
  const std::string& canonicalName() const { return canonicalName_; }

  friend bool operator==(const StringEncoding&, const StringEncoding&) = default;

 private:
  explicit StringEncoding(std::string canonicalName) : canonicalName_(std::move(canonicalName)) {}

  std::string canonicalName_;
};

}  // namespace ns
