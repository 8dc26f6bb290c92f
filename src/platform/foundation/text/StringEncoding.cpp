#include "platform/foundation/text/StringEncoding.h"

#include <unicode/ucnv.h>

#include <string_view>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/text/IcuStrings.h"
#include "platform/foundation/values/Utf8.h"

namespace ns {
namespace {

// Opens a converter for `name` that stops at the first byte sequence or character it cannot convert,
// instead of putting in a substitute. Returns null when ICU knows no such converter.
icu::LocalUConverterPointer openStrictConverter(const char* name) {
  UErrorCode status = U_ZERO_ERROR;
  icu::LocalUConverterPointer converter(ucnv_open(name, &status));
  if (U_FAILURE(status)) {
    return icu::LocalUConverterPointer();
  }
  ucnv_setToUCallBack(converter.getAlias(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  ucnv_setFromUCallBack(converter.getAlias(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  return U_SUCCESS(status) ? std::move(converter) : icu::LocalUConverterPointer();
}

// Whether `text` is its own encoding in `encoding`, which spares opening a converter on the common road:
// well-formed UTF-8 in UTF-8, plain ASCII in the encodings that extend it byte for byte.
bool encodesAsItself(std::string_view text, const std::string& canonicalName) {
  if (canonicalName == "UTF-8") {
    return isWellFormedUtf8(text);
  }
  return (canonicalName == "ISO-8859-1" || canonicalName == "US-ASCII") && isASCII(text);
}

}  // namespace

StringEncoding StringEncoding::utf8() {
  return StringEncoding("UTF-8");
}

StringEncoding StringEncoding::ascii() {
  return StringEncoding("US-ASCII");
}

StringEncoding StringEncoding::isoLatin1() {
  return StringEncoding("ISO-8859-1");
}

std::optional<StringEncoding> StringEncoding::fromIANACharsetName(std::string_view name) {
  // ICU opens its default converter for an empty name; here an empty name names nothing.
  if (name.empty()) {
    return std::nullopt;
  }
  const icu::LocalUConverterPointer converter = openStrictConverter(std::string(name).c_str());
  if (converter.isNull()) {
    return std::nullopt;
  }
  UErrorCode status = U_ZERO_ERROR;
  const char* canonicalName = ucnv_getName(converter.getAlias(), &status);
  if (U_FAILURE(status)) {
    return std::nullopt;
  }
  return StringEncoding(canonicalName);
}

std::optional<std::string> StringEncoding::decode(std::span<const std::uint8_t> bytes) const {
  QM_DCHECK(bytes.size() < (std::size_t{1} << 31), "bytes.size() < 2^31");
  const std::string_view asText(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (encodesAsItself(asText, canonicalName_)) {
    return std::string(asText);
  }
  const icu::LocalUConverterPointer converter = openStrictConverter(canonicalName_.c_str());
  if (converter.isNull()) {
    return std::nullopt;
  }
  UErrorCode status = U_ZERO_ERROR;
  const icu::UnicodeString text(reinterpret_cast<const char*>(bytes.data()),
                                static_cast<int32_t>(bytes.size()), converter.getAlias(), status);
  if (U_FAILURE(status) || text.isBogus()) {
    return std::nullopt;
  }
  return utf8FromIcuString(text);
}

std::optional<Data> StringEncoding::encode(std::string_view text) const {
  QM_DCHECK(text.size() < (std::size_t{1} << 31), "text.size() < 2^31");
  if (encodesAsItself(text, canonicalName_)) {
    return Data(text.begin(), text.end());
  }
  const icu::LocalUConverterPointer converter = openStrictConverter(canonicalName_.c_str());
  if (converter.isNull()) {
    return std::nullopt;
  }
  const icu::UnicodeString source = icuStringFromUtf8(text);
  // A first pass with no room measures the output; ucnv_fromUChars resets the converter on each call.
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length =
      ucnv_fromUChars(converter.getAlias(), nullptr, 0, source.getBuffer(), source.length(), &status);
  if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) {
    return std::nullopt;
  }
  Data bytes(static_cast<std::size_t>(length));
  status = U_ZERO_ERROR;
  ucnv_fromUChars(converter.getAlias(), reinterpret_cast<char*>(bytes.data()), length, source.getBuffer(),
                  source.length(), &status);
  if (U_FAILURE(status)) {
    return std::nullopt;
  }
  return bytes;
}

}  // namespace ns
