#include "platform/foundation/formats/JSONWriter.h"

#include <charconv>
#include <cmath>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/formats/KeyPath.h"
#include "platform/foundation/values/TextNumbers.h"
#include "platform/foundation/values/Utf8.h"

namespace ns {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

template <typename Number>
std::string_view numberText(Number number, char (&buffer)[32]) {
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
  return std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer));
}

}  // namespace

bool JSONWriter::write(const Value& value) {
  char buffer[32];
  switch (value.kind()) {
    case ValueKind::kNull:
      append("null");
      return true;
    case ValueKind::kBool:
      append(value.asBool() ? "true" : "false");
      return true;
    case ValueKind::kInteger:
      append(numberText(value.asInteger(), buffer));
      return true;
    case ValueKind::kDouble:
      return writeDouble(value.asDouble());
    case ValueKind::kString:
      return writeString(value.asString());
    case ValueKind::kArray:
      return writeArray(value.asArray());
    case ValueKind::kDictionary:
      return writeDictionary(value.asDictionary());
    case ValueKind::kData:
      return fail("data has no JSON form");
    case ValueKind::kSet:
      return fail("a set has no JSON form");
    case ValueKind::kDate:
      break;
  }
  return fail("a date has no JSON form");
}

bool JSONWriter::writeDouble(double number) {
  if (!std::isfinite(number)) {
    return fail("an infinite or NaN number has no JSON form");
  }
  append(textOfDouble(number));
  return true;
}

bool JSONWriter::writeString(std::string_view text) {
  append('"');
  std::size_t position = 0;
  std::size_t plainStart = 0;
  // Runs of bytes that need no escape are copied at once.
  const auto flushPlain = [&] { append(text.substr(plainStart, position - plainStart)); };
  while (position < text.size()) {
    const auto byte = static_cast<unsigned char>(text[position]);
    if (byte >= 0x80) {
      if (!decodeUtf8CodePoint(text, position)) {
        return fail("a string is not well-formed UTF-8");
      }
      continue;
    }
    if (byte >= 0x20 && byte != '"' && byte != '\\') {
      ++position;
      continue;
    }
    flushPlain();
    append('\\');
    switch (byte) {
      case '"':
      case '\\':
        append(static_cast<char>(byte));
        break;
      case '\b':
        append('b');
        break;
      case '\f':
        append('f');
        break;
      case '\n':
        append('n');
        break;
      case '\r':
        append('r');
        break;
      case '\t':
        append('t');
        break;
      default:
        append("u00");
        append(kHexDigits[byte >> 4]);
        append(kHexDigits[byte & 0x0F]);
    }
    plainStart = ++position;
  }
  flushPlain();
  append('"');
  return true;
}

bool JSONWriter::writeArray(const Array& array) {
  openContainer('[');
  for (std::size_t i = 0; i < array.size(); ++i) {
    beginMember(i == 0);
    if (!write(array[i])) {
      prependIndex(failurePath_, i);
      return false;
    }
  }
  closeContainer(']', array.empty());
  return true;
}

bool JSONWriter::writeDictionary(const Dictionary& dictionary) {
  openContainer('{');
  bool first = true;
  for (const auto& [key, member] : dictionary) {
    beginMember(first);
    first = false;
    bool written = writeString(key);
    if (written) {
      append(prettyPrinted_ ? " : " : ":");
      written = write(member);
    }
    if (!written) {
      prependKey(failurePath_, key);
      return false;
    }
  }
  closeContainer('}', dictionary.empty());
  return true;
}

void JSONWriter::openContainer(char open) {
  append(open);
  ++depth_;
}

void JSONWriter::beginMember(bool first) {
  if (!first) {
    append(',');
  }
  if (prettyPrinted_) {
    newLine();
  }
}

void JSONWriter::closeContainer(char close, bool empty) {
  --depth_;
  if (prettyPrinted_ && !empty) {
    newLine();
  }
  append(close);
}

void JSONWriter::newLine() {
  append('\n');
  output_.insert(output_.end(), 2 * depth_, static_cast<std::uint8_t>(' '));
}

std::string JSONWriter::failure() const {
  QM_DCHECK(!failure_.empty(), "write returned false");
  return failureText(failure_, failurePath_);
}

bool JSONWriter::fail(std::string what) {
  failure_ = std::move(what);
  failurePath_.clear();
  return false;
}

}  // namespace ns
