#include "support/test_certificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>

namespace testsupport {

namespace {

struct KeyDeleter {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertificateDeleter {
  void operator()(X509* certificate) const { X509_free(certificate); }
};
struct BioDeleter {
  void operator()(BIO* bio) const { BIO_free(bio); }
};
using KeyPointer = std::unique_ptr<EVP_PKEY, KeyDeleter>;
using CertificatePointer = std::unique_ptr<X509, CertificateDeleter>;
using BioPointer = std::unique_ptr<BIO, BioDeleter>;

void check(bool ok, const char* what) {
  if (!ok) {
    throw std::runtime_error(std::string("making a test certificate failed at ") + what);
  }
}

std::string pemFrom(const std::function<int(BIO*)>& write) {
  BioPointer bio(BIO_new(BIO_s_mem()));
  check(write(bio.get()) == 1, "PEM");
  char* bytes = nullptr;
  const long length = BIO_get_mem_data(bio.get(), &bytes);
  return std::string(bytes, static_cast<std::size_t>(length));
}

KeyPointer readKey(const std::string& pem) {
  BioPointer bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
  return KeyPointer(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
}

CertificatePointer readCertificate(const std::string& pem) {
  BioPointer bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
  return CertificatePointer(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
}

void addExtension(X509* certificate, X509* issuer, int nid, const std::string& value) {
  X509V3_CTX context;
  X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
  check(extension != nullptr, "extension");
  X509_add_ext(certificate, extension, -1);
  X509_EXTENSION_free(extension);
}

struct Subject {
  std::string commonName;
  bool isAuthority = false;
  std::vector<std::string> dnsNames;
  std::vector<std::string> ipAddresses;
};

// Makes a certificate for `subject`, signed by `issuer` (itself when issuer is null), with the key of
// `keyPEM` or, when that is null, a new key.
TestCertificate issue(const Subject& subject, const TestCertificate* issuer,
                      const std::string* keyPEM = nullptr) {
  static std::atomic<long> serial = 1;
  KeyPointer key(keyPEM ? readKey(*keyPEM) : KeyPointer(EVP_EC_gen("P-256")));
  check(key != nullptr, "key");
  CertificatePointer certificate(X509_new());
  X509_set_version(certificate.get(), 2);
  ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), serial++);
  X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -60 * 60);
  X509_gmtime_adj(X509_getm_notAfter(certificate.get()), 60L * 60 * 24 * 30);
  X509_set_pubkey(certificate.get(), key.get());
  X509_NAME* name = X509_get_subject_name(certificate.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                             reinterpret_cast<const unsigned char*>(subject.commonName.c_str()), -1, -1, 0);

  CertificatePointer issuerCertificate = issuer ? readCertificate(issuer->pem) : nullptr;
  KeyPointer issuerKey = issuer ? readKey(issuer->privateKeyPEM) : nullptr;
  X509* signingCertificate = issuer ? issuerCertificate.get() : certificate.get();
  EVP_PKEY* signingKey = issuer ? issuerKey.get() : key.get();
  X509_set_issuer_name(certificate.get(), X509_get_subject_name(signingCertificate));

  addExtension(certificate.get(), signingCertificate, NID_basic_constraints,
               subject.isAuthority ? "critical,CA:TRUE" : "critical,CA:FALSE");
  addExtension(certificate.get(), signingCertificate, NID_key_usage,
               subject.isAuthority ? "critical,keyCertSign,cRLSign" : "critical,digitalSignature");
  addExtension(certificate.get(), signingCertificate, NID_subject_key_identifier, "hash");
  if (!subject.isAuthority) {
    addExtension(certificate.get(), signingCertificate, NID_ext_key_usage, "serverAuth");
    std::string alternativeNames;
    for (const std::string& dnsName : subject.dnsNames) {
      alternativeNames += (alternativeNames.empty() ? "DNS:" : ",DNS:") + dnsName;
    }
    for (const std::string& address : subject.ipAddresses) {
      alternativeNames += (alternativeNames.empty() ? "IP:" : ",IP:") + address;
    }
    addExtension(certificate.get(), signingCertificate, NID_subject_alt_name, alternativeNames);
  }
  check(X509_sign(certificate.get(), signingKey, EVP_sha256()) > 0, "signature");

  TestCertificate result;
  result.pem = pemFrom([&](BIO* bio) { return PEM_write_bio_X509(bio, certificate.get()); });
  result.privateKeyPEM = pemFrom([&](BIO* bio) {
    return PEM_write_bio_PrivateKey(bio, key.get(), nullptr, nullptr, 0, nullptr, nullptr);
  });
  const int length = i2d_X509(certificate.get(), nullptr);
  result.der.resize(static_cast<std::size_t>(length));
  unsigned char* cursor = result.der.data();
  i2d_X509(certificate.get(), &cursor);
  return result;
}

}  // namespace

const TestCertificates& TestCertificates::shared() {
  static const TestCertificates certificates;
  return certificates;
}

TestCertificates::TestCertificates()
    : root_(issue({"Quillmark Test Root CA", true, {}, {}}, nullptr)),
      intermediate_(issue({"Quillmark Test Intermediate CA", true, {}, {}}, &root_)),
      leaf_(issueLeaf({"localhost"}, {"127.0.0.1"})) {}

TestCertificate TestCertificates::issueLeaf(const std::vector<std::string>& dnsNames,
                                            const std::vector<std::string>& ipAddresses) const {
  return issue({dnsNames.empty() ? "test server" : dnsNames.front(), false, dnsNames, ipAddresses},
               &intermediate_);
}

TestCertificate TestCertificates::renewedLeaf(const TestCertificate& serverCertificate) const {
  return issue({"localhost", false, {"localhost"}, {"127.0.0.1"}}, &intermediate_,
               &serverCertificate.privateKeyPEM);
}

TestCertificate TestCertificates::selfSignedLeaf() const {
  return issue({"localhost", false, {"localhost"}, {"127.0.0.1"}}, nullptr);
}

TLSIdentity TestCertificates::identityFor(const TestCertificate& serverCertificate) const {
  return TLSIdentity{serverCertificate.pem + intermediate_.pem, serverCertificate.privateKeyPEM};
}

}  // namespace testsupport
