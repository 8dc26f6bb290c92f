#include "platform/foundation/crypto/OpenSslFailure.h"

#include <openssl/err.h>

#include <cstdio>
#include <cstdlib>

namespace ns {

void abortOnOpenSslFailure(const char* operation) {
  char reason[256] = {};
  ERR_error_string_n(ERR_get_error(), reason, sizeof reason);
  std::fprintf(stderr, "OpenSSL failed in %s: %s\n", operation, reason);
  std::abort();
}

}  // namespace ns
