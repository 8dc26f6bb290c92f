#include "platform/net/ServerTrust.h"

#include <arpa/inet.h>
#include <openssl/x509v3.h>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/check/Mutex.h"
#include "platform/net/X509Certificates.h"

namespace ns {

namespace {

struct StoreDeleter {
  void operator()(X509_STORE* store) const { X509_STORE_free(store); }
};
using StorePointer = std::unique_ptr<X509_STORE, StoreDeleter>;

struct StoreContextDeleter {
  void operator()(X509_STORE_CTX* context) const { X509_STORE_CTX_free(context); }
};

struct ChainDeleter {
  void operator()(STACK_OF(X509) * chain) const { sk_X509_pop_free(chain, X509_free); }
};
using ChainPointer = std::unique_ptr<STACK_OF(X509), ChainDeleter>;

// Adds each readable certificate of `anchors` to `store`.
void addAnchors(X509_STORE* store, const std::vector<Data>& anchors) {
  for (const Data& der : anchors) {
    if (X509Pointer certificate = x509FromDER(der)) {
      X509_STORE_add_cert(store, certificate.get());
    }
  }
}

// The default anchors: the system's trusted certificates and a test's own. Loading the system list costs
// milliseconds, so one store serves every evaluation until the test anchors change.
class DefaultAnchors {
 public:
  static DefaultAnchors& shared() {
    static DefaultAnchors anchors;
    return anchors;
  }

  // Returns a new reference to the current store.
  StorePointer store() {
    ns::MutexLock lock(mutex_);
    if (!store_) {
      store_.reset(X509_STORE_new());
      X509_STORE_set_default_paths(store_.get());
      addAnchors(store_.get(), additional_);
    }
    X509_STORE_up_ref(store_.get());
    return StorePointer(store_.get());
  }

  void setAdditional(std::vector<Data> anchors) {
    ns::MutexLock lock(mutex_);
    additional_ = std::move(anchors);
    store_.reset();
  }

 private:
  ns::Mutex mutex_;
  StorePointer store_ QM_GUARDED_BY(mutex_);
  std::vector<Data> additional_ QM_GUARDED_BY(mutex_);
};

bool isIPAddress(const std::string& host) {
  unsigned char address[sizeof(in6_addr)];
  return inet_pton(AF_INET, host.c_str(), address) == 1 || inet_pton(AF_INET6, host.c_str(), address) == 1;
}

}  // namespace

ServerTrust::ServerTrust(std::vector<Data> chain) : chain_(std::move(chain)) {}

void ServerTrust::setSSLServerPolicy(std::optional<std::string> host) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  policy_ = Policy::kSSLServer;
  host_ = std::move(host);
}

void ServerTrust::setBasicX509Policy() {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  policy_ = Policy::kBasicX509;
  host_.reset();
}

void ServerTrust::setAnchorCertificates(std::vector<Data> anchors) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  anchors_ = std::move(anchors);
}

bool ServerTrust::evaluate() const {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  if (chain_.empty()) {
    return false;
  }
  ChainPointer untrusted(sk_X509_new_null());
  for (const Data& der : chain_) {
    X509Pointer certificate = x509FromDER(der);
    if (!certificate) {
      return false;
    }
    sk_X509_push(untrusted.get(), certificate.release());
  }
  StorePointer store;
  if (anchors_) {
    store.reset(X509_STORE_new());
    addAnchors(store.get(), *anchors_);
    X509_STORE_set_flags(store.get(), X509_V_FLAG_PARTIAL_CHAIN);
  } else {
    store = DefaultAnchors::shared().store();
  }
  std::unique_ptr<X509_STORE_CTX, StoreContextDeleter> context(X509_STORE_CTX_new());
  if (!context || X509_STORE_CTX_init(context.get(), store.get(), sk_X509_value(untrusted.get(), 0),
                                      untrusted.get()) != 1) {
    return false;
  }
  if (policy_ == Policy::kSSLServer) {
    X509_STORE_CTX_set_purpose(context.get(), X509_PURPOSE_SSL_SERVER);
    X509_VERIFY_PARAM* parameters = X509_STORE_CTX_get0_param(context.get());
    if (host_ && isIPAddress(*host_)) {
      X509_VERIFY_PARAM_set1_ip_asc(parameters, host_->c_str());
    } else if (host_) {
      X509_VERIFY_PARAM_set1_host(parameters, host_->c_str(), host_->size());
    }
  }
  return X509_verify_cert(context.get()) == 1;
}

std::optional<Data> ServerTrust::publicKey() const {
  if (chain_.empty()) {
    return std::nullopt;
  }
  return publicKeyOfCertificate(chain_.front());
}

std::optional<Data> ServerTrust::publicKeyOfCertificate(const Data& certificate) {
  const X509Pointer parsed = x509FromDER(certificate);
  if (!parsed) {
    return std::nullopt;
  }
  X509_PUBKEY* key = X509_get_X509_PUBKEY(parsed.get());
  const int length = i2d_X509_PUBKEY(key, nullptr);
  if (length <= 0) {
    return std::nullopt;
  }
  Data der(static_cast<std::size_t>(length));
  unsigned char* cursor = der.data();
  i2d_X509_PUBKEY(key, &cursor);
  return der;
}

void ServerTrust::setAdditionalAnchorsForTesting(std::vector<Data> anchors) {
  DefaultAnchors::shared().setAdditional(std::move(anchors));
}

}  // namespace ns
