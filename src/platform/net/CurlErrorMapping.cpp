#include "platform/net/CurlErrorMapping.h"

#include "platform/foundation/check/Check.h"

namespace ns {

URLErrorCode urlErrorCodeForCurlResult(CURLcode result) {
  QM_DCHECK(result != CURLE_OK, "result != CURLE_OK");
  switch (result) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return kURLErrorCannotFindHost;
    case CURLE_COULDNT_CONNECT:
      return kURLErrorCannotConnectToHost;
    case CURLE_OPERATION_TIMEDOUT:
      return kURLErrorTimedOut;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
      return kURLErrorNetworkConnectionLost;
    case CURLE_TOO_MANY_REDIRECTS:
      return kURLErrorHTTPTooManyRedirects;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
      return kURLErrorServerCertificateUntrusted;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
      return kURLErrorSecureConnectionFailed;
    case CURLE_URL_MALFORMAT:
      return kURLErrorBadURL;
    case CURLE_BAD_CONTENT_ENCODING:
      return kURLErrorCannotDecodeRawData;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_WEIRD_SERVER_REPLY:
      // Only http and https URLs reach the engine, and redirects are followed above it, so an unsupported
      // protocol is a reply that does not read as HTTP (no status line, an unknown version).
      return kURLErrorBadServerResponse;
    case CURLE_SEND_FAIL_REWIND:
      return kURLErrorRequestBodyStreamExhausted;
    default:
      return kURLErrorUnknown;
  }
}

}  // namespace ns
