#pragma once

// listenOnLoopback(): how every server of the sample back end takes its port. Thread-safety: call it on the
// thread that owns `acceptor`, before the acceptor's io context runs.

#include <boost/asio/ip/tcp.hpp>
#include <boost/system/error_code.hpp>
#include <cstdint>

namespace sample_backend {

// Opens `acceptor` on 127.0.0.1:`port` (0 for any free port) with the address reusable, so that a test can
// start a server on the port that the previous one has just left, and starts listening. Returns the empty
// error code on success, else the error of the first step that failed; the acceptor may then be left open,
// and closes when it is destroyed.
boost::system::error_code listenOnLoopback(boost::asio::ip::tcp::acceptor& acceptor, std::uint16_t port);

}  // namespace sample_backend
