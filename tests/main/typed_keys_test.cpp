#include <gtest/gtest.h>

#include <string>

#include "main/terminal/TypedKeys.h"

namespace terminal {

namespace {

// Typed bytes, some with a pause before them longer than an escape sequence may take.
class TypedBytes {
 public:
  // Appends `bytes`, the first of them after a pause when `paused`.
  TypedBytes& then(const std::string& bytes, bool paused = false) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      bytes_.push_back({static_cast<unsigned char>(bytes[i]), paused && i == 0});
    }
    return *this;
  }
  TypedKeys::ByteSource source() {
    return [this](std::chrono::milliseconds wait) -> std::optional<unsigned char> {
      if (next_ == bytes_.size() || (bytes_[next_].afterPause && wait >= std::chrono::milliseconds(0) &&
                                     !std::exchange(bytes_[next_].pauseSeen, true))) {
        return std::nullopt;
      }
      return bytes_[next_++].byte;
    };
  }

 private:
  struct Typed {
    unsigned char byte;
    bool afterPause;
    bool pauseSeen = false;
  };
  std::vector<Typed> bytes_;
  std::size_t next_ = 0;
};

std::u32string allKeys(TypedKeys& keys) {
  std::u32string characters;
  while (const std::optional<char32_t> character = keys.next()) {
    characters += *character;
  }
  return characters;
}

TEST(TypedKeysTest, CharactersComeWholeAndOnlyTheSequencesOfBoundKeysPass) {
  TypedBytes typed;
  typed.then("a林")
      .then("\x1b[A")     // up: bound
      .then("\x1bOP")     // F1
      .then("\x1b[15~")   // F5
      .then("\x1b[1;2A")  // Shift-Up
      .then("\x1b[3~")    // Delete: bound
      .then("\x1b")       // Escape alone, then a key after a pause
      .then("b", true)
      .then("\xe6\x9e")  // a character cut short
      .then("c\r");
  TypedKeys keys(100, typed.source());
  EXPECT_EQ(allKeys(keys),
            U"a林\x1b[A\x1b[3~\x1b"
            U"b\xfffd"
            U"c\r");
  EXPECT_FALSE(keys.lineCut());
}

TEST(TypedKeysTest, ALineIsCutAtTheLongestAndTheReturnKeyStillPasses) {
  TypedBytes typed;
  typed.then("12345678\rab");
  TypedKeys keys(5, typed.source());
  EXPECT_EQ(allKeys(keys), U"12345\rab");
  EXPECT_TRUE(keys.lineCut()) << "marked until the next line starts";
  keys.startLine();
  EXPECT_FALSE(keys.lineCut());

  TypedBytes chinese;
  chinese.then("林知远\r");
  TypedKeys counted(7, chinese.source());
  EXPECT_EQ(allKeys(counted), U"林知\r") << "lengths count bytes";
}

}  // namespace

}  // namespace terminal
