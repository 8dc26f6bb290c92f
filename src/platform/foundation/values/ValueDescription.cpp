// The "%@" text form of values, declared in Value.h.

#include <charconv>
#include <cmath>
#include <ctime>

#include "platform/foundation/values/TextNumbers.h"
#include "platform/foundation/values/Utf8.h"
#include "platform/foundation/values/Value.h"

namespace ns {
namespace {

constexpr std::size_t kIndentWidth = 4;
// Data up to this length is shown whole; longer data shows its head and tail only.
constexpr std::size_t kWholeDataLimit = 24;
constexpr std::size_t kDataHeadLength = 16;
constexpr std::size_t kDataTailLength = 8;
constexpr char kHexDigits[] = "0123456789abcdef";

template <typename Number>
void appendNumber(Number number, std::string& out) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
  out.append(buffer, result.ptr);
}

void appendHexByte(std::uint8_t byte, std::string& out) {
  out += kHexDigits[byte >> 4];
  out += kHexDigits[byte & 0x0F];
}

// Appends bytes [begin, end) of `data` in hex, a blank after every fourth byte.
void appendHexWords(const Data& data, std::size_t begin, std::size_t end, std::string& out) {
  for (std::size_t i = begin; i < end; ++i) {
    appendHexByte(data[i], out);
    if ((i - begin) % 4 == 3) {
      out += ' ';
    }
  }
}

void appendData(const Data& data, std::string& out) {
  out += "{length = ";
  appendNumber(data.size(), out);
  out += ", bytes = 0x";
  if (data.size() <= kWholeDataLimit) {
    for (std::uint8_t byte : data) {
      appendHexByte(byte, out);
    }
    out += '}';
    return;
  }
  appendHexWords(data, 0, kDataHeadLength, out);
  out += "... ";
  appendHexWords(data, data.size() - kDataTailLength, data.size(), out);
  out += '}';
}

void appendDate(Date date, std::string& out) {
  // Beyond about ±3e16 seconds the calendar year no longer fits the C library's broken-down time; such a
  // date shows as its number of seconds rather than as a wrong calendar date.
  constexpr double kCalendarLimit = 3e16;
  const double secondsSince1970 = date.timeIntervalSince1970();
  std::tm parts{};
  const auto seconds = static_cast<std::time_t>(std::floor(secondsSince1970));
  if (!(std::abs(secondsSince1970) < kCalendarLimit) || gmtime_r(&seconds, &parts) == nullptr) {
    appendNumber(secondsSince1970, out);
    return;
  }
  char buffer[64];
  const std::size_t length = std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S +0000", &parts);
  out.append(buffer, length);
}

bool needsQuotes(std::string_view text) {
  if (text.empty()) {
    return true;
  }
  for (char c : text) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '_' || c == '.' || c == '$';
    if (!plain) {
      return true;
    }
  }
  return false;
}

void appendUtf16Escape(char32_t unit, std::string& out) {
  out += "\\U";
  for (int shift = 12; shift >= 0; shift -= 4) {
    out += kHexDigits[(unit >> shift) & 0x0F];
  }
}

void appendQuoted(std::string_view text, std::string& out) {
  out += '"';
  std::size_t position = 0;
  while (position < text.size()) {
    const char c = text[position];
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
      ++position;
    } else if (c == '\n' || c == '\t' || c == '\r') {
      out += '\\';
      out += c == '\n' ? 'n' : c == '\t' ? 't' : 'r';
      ++position;
    } else if (c >= 0x20 && c < 0x7F) {
      out += c;
      ++position;
    } else {
      // Bytes that are not UTF-8 show as the replacement character, as the platform's text would hold it.
      const char32_t codePoint = decodeUtf8CodePoint(text, position).value_or(U'\uFFFD');
      if (codePoint >= 0x10000) {
        appendUtf16Escape(0xD800 + ((codePoint - 0x10000) >> 10), out);
        appendUtf16Escape(0xDC00 + ((codePoint - 0x10000) & 0x3FF), out);
      } else {
        appendUtf16Escape(codePoint, out);
      }
    }
  }
  out += '"';
}

void appendDescription(const Value& value, std::size_t level, std::string& out);

// A member of an array or dictionary: strings quoted where needed, anything else as its own description.
void appendMember(const Value& value, std::size_t level, std::string& out) {
  if (value.isString() && needsQuotes(value.asString())) {
    appendQuoted(value.asString(), out);
  } else {
    appendDescription(value, level, out);
  }
}

// Collections open with their own indentation, so a nested one stands further in than its first-level
// siblings ("key =     {"), as on the platform.
// An array is "(" and ")" around its elements, a set "{(" and ")}".
void appendElements(const Array& elements, std::size_t level, std::string_view open, std::string_view close,
                    std::string& out) {
  out.append(level * kIndentWidth, ' ');
  out += open;
  out += '\n';
  for (std::size_t i = 0; i < elements.size(); ++i) {
    out.append((level + 1) * kIndentWidth, ' ');
    appendMember(elements[i], level + 1, out);
    out += i + 1 < elements.size() ? ",\n" : "\n";
  }
  out.append(level * kIndentWidth, ' ');
  out += close;
}

void appendDictionary(const Dictionary& dictionary, std::size_t level, std::string& out) {
  out.append(level * kIndentWidth, ' ');
  out += "{\n";
  for (const auto& [key, member] : dictionary) {
    out.append((level + 1) * kIndentWidth, ' ');
    if (needsQuotes(key)) {
      appendQuoted(key, out);
    } else {
      out += key;
    }
    out += " = ";
    appendMember(member, level + 1, out);
    out += ";\n";
  }
  out.append(level * kIndentWidth, ' ');
  out += '}';
}

void appendDescription(const Value& value, std::size_t level, std::string& out) {
  switch (value.kind()) {
    case ValueKind::kNull:
      out += "<null>";
      break;
    case ValueKind::kBool:
      out += value.asBool() ? '1' : '0';
      break;
    case ValueKind::kInteger:
      appendNumber(value.asInteger(), out);
      break;
    case ValueKind::kDouble:
      out += textOfDouble(value.asDouble());
      break;
    case ValueKind::kString:
      out += value.asString();
      break;
    case ValueKind::kData:
      appendData(value.asData(), out);
      break;
    case ValueKind::kDate:
      appendDate(value.asDate(), out);
      break;
    case ValueKind::kArray:
      appendElements(value.asArray(), level, "(", ")", out);
      break;
    case ValueKind::kDictionary:
      appendDictionary(value.asDictionary(), level, out);
      break;
    case ValueKind::kSet:
      appendElements(value.asSet().elements(), level, "{(", ")}", out);
      break;
  }
}

}  // namespace

std::string describe(const Value& value) {
  std::string out;
  appendDescription(value, 0, out);
  return out;
}

std::string describe(const Value* value) {
  return value == nullptr ? "(null)" : describe(*value);
}

}  // namespace ns
