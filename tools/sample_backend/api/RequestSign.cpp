#include "sample_backend/api/RequestSign.h"

#include <openssl/evp.h>

#include <algorithm>
#include <vector>

#include "sample_backend/api/Utf16Units.h"

namespace sample_backend::api {
namespace {

constexpr std::size_t kSignedValueUnits = 50;

std::string lowerHexMd5(const std::string& text) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_Digest(text.data(), text.size(), digest, &length, EVP_md5(), nullptr);
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex.push_back(kDigits[digest[i] >> 4]);
    hex.push_back(kDigits[digest[i] & 0x0F]);
  }
  return hex;
}

}  // namespace

std::string requestSignSource(const std::map<std::string, std::string, std::less<>>& parameters,
                              std::string_view signingKey) {
  struct Entry {
    std::u16string keyUnits;
    const std::string* key;
    const std::string* value;
  };
  std::vector<Entry> entries;
  for (const auto& [key, value] : parameters) {
    if (key != "sign") {
      entries.push_back({utf16FromUtf8(key), &key, &value});
    }
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.keyUnits < b.keyUnits; });
  std::string source;
  for (const Entry& entry : entries) {
    source += *entry.key;
    source += '=';
    source += utf8FromUtf16(leadingUnits(utf16FromUtf8(*entry.value), kSignedValueUnits));
  }
  source += signingKey;
  return source;
}

std::string computeRequestSign(const std::map<std::string, std::string, std::less<>>& parameters,
                               std::string_view signingKey) {
  return lowerHexMd5(requestSignSource(parameters, signingKey));
}

}  // namespace sample_backend::api
