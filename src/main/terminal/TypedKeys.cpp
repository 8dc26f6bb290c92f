#include "main/terminal/TypedKeys.h"

#include <algorithm>
#include <string>
#include <utility>

namespace terminal {

namespace {

constexpr unsigned char kEscape = 0x1b;
constexpr char32_t kReplacementCharacter = 0xfffd;
constexpr std::chrono::milliseconds kForever{-1};
// No key sends a longer control sequence; the bytes of one that runs longer are dropped.
constexpr std::size_t kLongestSequence = 16;

// What follows the escape byte in the sequences of the keys the editor binds.
constexpr std::string_view kBoundSequences[] = {
    "[A",  "[B",  "[C",  "[D",  "[H",  "[F",  "OA",  "OB",  "OC",    "OD",    "OH",    "OF",
    "[1~", "[2~", "[3~", "[4~", "[5~", "[6~", "[7~", "[8~", "[1;5C", "[1;5D", "[1;3C", "[1;3D",
};

bool isBound(std::string_view sequence) {
  return std::find(std::begin(kBoundSequences), std::end(kBoundSequences), sequence) !=
         std::end(kBoundSequences);
}

bool isFinalByte(unsigned char byte) {
  return byte >= 0x40 && byte <= 0x7e;
}

}  // namespace

TypedKeys::TypedKeys(std::size_t longestLine, ByteSource source)
    : longestLine_(longestLine), source_(std::move(source)) {}

std::optional<char32_t> TypedKeys::next() {
  for (;;) {
    if (!queued_.empty()) {
      const char32_t character = queued_.front();
      queued_.pop_front();
      return character;
    }
    const std::optional<unsigned char> byte = take(kForever);
    if (!byte) {
      return std::nullopt;
    }
    if (*byte == kEscape) {
      readEscape();
      continue;
    }
    const char32_t character = decode(*byte);
    const std::size_t length = character < 0x80 ? 1 : character < 0x800 ? 2 : character < 0x10000 ? 3 : 4;
    if (admit(character, length)) {
      return character;
    }
  }
}

void TypedKeys::startLine() {
  lineBytes_ = 0;
  dropping_ = false;
  lineCut_ = false;
}

std::optional<unsigned char> TypedKeys::take(std::chrono::milliseconds wait) {
  if (pushedBack_) {
    return std::exchange(pushedBack_, std::nullopt);
  }
  return source_(wait);
}

void TypedKeys::readEscape() {
  const std::optional<unsigned char> introducer = take(kSequenceWait);
  if (!introducer || (*introducer != '[' && *introducer != 'O')) {
    // The Escape key alone, or Alt with a key: the editor reads the next byte as it comes.
    queued_.push_back(kEscape);
    pushedBack_ = introducer;
    return;
  }
  std::string sequence(1, static_cast<char>(*introducer));
  for (;;) {
    const std::optional<unsigned char> byte = take(kSequenceWait);
    if (!byte || sequence.size() > kLongestSequence) {
      return;  // cut short or overlong: no key sent it, and none of it reaches the line
    }
    sequence += static_cast<char>(*byte);
    if (*introducer == 'O' || isFinalByte(*byte)) {
      break;
    }
  }
  if (isBound(sequence)) {
    queued_.push_back(kEscape);
    queued_.insert(queued_.end(), sequence.begin(), sequence.end());
  }
}

char32_t TypedKeys::decode(unsigned char lead) {
  if (lead < 0x80) {
    return lead;
  }
  if (lead < 0xc2 || lead > 0xf4) {
    return kReplacementCharacter;
  }
  const int continuations = lead < 0xe0 ? 1 : lead < 0xf0 ? 2 : 3;
  char32_t character = lead & (0x3f >> continuations);
  for (int i = 0; i < continuations; ++i) {
    const std::optional<unsigned char> byte = take(kSequenceWait);
    if (!byte || (*byte & 0xc0) != 0x80) {
      pushedBack_ = byte;
      return kReplacementCharacter;
    }
    character = (character << 6) | (*byte & 0x3f);
  }
  return character;
}

bool TypedKeys::admit(char32_t character, std::size_t length) {
  if (character == '\r' || character == '\n') {
    lineBytes_ = 0;
    dropping_ = false;
    return true;
  }
  if (dropping_ || lineBytes_ + length > longestLine_) {
    dropping_ = true;
    lineCut_ = true;
    return false;
  }
  lineBytes_ += length;
  return true;
}

}  // namespace terminal
