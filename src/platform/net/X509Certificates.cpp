#include "platform/net/X509Certificates.h"

namespace ns {

X509Pointer x509FromDER(const Data& der) {
  const unsigned char* cursor = der.data();
  X509Pointer certificate(d2i_X509(nullptr, &cursor, static_cast<long>(der.size())));
  if (certificate && cursor != der.data() + der.size()) {
    return nullptr;
  }
  return certificate;
}

Data derOfX509(X509* certificate) {
  const int length = i2d_X509(certificate, nullptr);
  if (length <= 0) {
    return {};
  }
  Data der(static_cast<std::size_t>(length));
  unsigned char* cursor = der.data();
  i2d_X509(certificate, &cursor);
  return der;
}

std::vector<Data> derOfX509Chain(STACK_OF(X509) * chain) {
  std::vector<Data> ders;
  const int count = chain == nullptr ? 0 : sk_X509_num(chain);
  for (int i = 0; i < count; ++i) {
    ders.push_back(derOfX509(sk_X509_value(chain, i)));
  }
  return ders;
}

}  // namespace ns
