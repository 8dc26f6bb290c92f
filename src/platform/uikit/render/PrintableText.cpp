#include "platform/uikit/render/PrintableText.h"

namespace uikit {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool isContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at the start of `text`, or, when it is ill-formed, the
// negated length of its maximal ill-formed part (at least 1).
int sequenceLength(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) {
    return 1;
  }
  int length = 0;
  unsigned char low = 0x80;  // the range of the second byte, narrower after some leads
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
    high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing past U+10FFFF
  } else {
    return -1;
  }
  for (int index = 1; index < length; ++index) {
    if (static_cast<std::size_t>(index) >= text.size()) {
      return -index;
    }
    const auto byte = static_cast<unsigned char>(text[static_cast<std::size_t>(index)]);
    const bool fits = index == 1 ? byte >= low && byte <= high : isContinuation(byte);
    if (!fits) {
      return -index;
    }
  }
  return length;
}

void appendHex(std::string& out, std::string_view prefix, unsigned value, int digits) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out += prefix;
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
    out += kDigits[(value >> static_cast<unsigned>(shift)) & 0xFU];
  }
}

}  // namespace

std::string printableText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const int length = sequenceLength(text);
    if (length < 0) {
      out += kReplacementCharacter;
      text.remove_prefix(static_cast<std::size_t>(-length));
      continue;
    }
    const auto lead = static_cast<unsigned char>(text[0]);
    if (length == 1 && (lead < 0x20 || lead == 0x7F)) {
      switch (lead) {
        case 0x1B:
          out += "\\e";
          break;
        case '\r':
          out += "\\r";
          break;
        case '\n':
          out += "\\n";
          break;
        case '\t':
          out += "\\t";
          break;
        default:
          appendHex(out, "\\x", lead, 2);
      }
    } else if (length == 2 && lead == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0) {
      // U+0080 to U+009F: C1 controls, which some terminals take as escape sequences.
      appendHex(out, "\\u", static_cast<unsigned char>(text[1]), 4);
    } else {
      out += text.substr(0, static_cast<std::size_t>(length));
    }
    text.remove_prefix(static_cast<std::size_t>(length));
  }
  return out;
}

}  // namespace uikit
