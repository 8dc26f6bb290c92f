#pragma once

// Conversions between DER certificate data and OpenSSL's certificate objects, for the trust code.
// Thread-safe: pure functions.

#include <openssl/x509.h>

#include <memory>
#include <vector>

#include "platform/foundation/values/Data.h"

namespace ns {

struct X509Deleter {
  void operator()(X509* certificate) const { X509_free(certificate); }
};
using X509Pointer = std::unique_ptr<X509, X509Deleter>;

// Returns the certificate that `der` encodes, or nullptr when it does not parse completely.
X509Pointer x509FromDER(const Data& der);
// Returns the DER encoding of `certificate`.
Data derOfX509(X509* certificate);
// Returns the DER encodings of `chain` in order; an empty list for nullptr.
std::vector<Data> derOfX509Chain(STACK_OF(X509) * chain);

}  // namespace ns
