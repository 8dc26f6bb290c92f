#include "platform/foundation/text/Transliteration.h"

#include <unicode/translit.h>

#include <memory>

#include "platform/foundation/text/IcuStrings.h"

namespace ns {

std::optional<std::string> transliterate(std::string_view text, std::string_view transformId) {
  UErrorCode status = U_ZERO_ERROR;
  const std::unique_ptr<icu::Transliterator> transform(
      icu::Transliterator::createInstance(icuStringFromUtf8(transformId), UTRANS_FORWARD, status));
  if (U_FAILURE(status) || !transform) {
    return std::nullopt;
  }
  icu::UnicodeString transformed = icuStringFromUtf8(text);
  transform->transliterate(transformed);
  return utf8FromIcuString(transformed);
}

}  // namespace ns
