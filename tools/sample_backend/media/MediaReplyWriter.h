#pragma once

// Sends a MediaReply over a connection of the sample back end's HTTP server, with the misbehaviour the
// reply asks for: the body in slow pieces, cut short with a clean close, or broken off with a reset.
// Thread-safety: runs on the thread of the socket's I/O context.

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <functional>

#include "sample_backend/media/MediaReply.h"

namespace sample_backend::media {

// Writes `reply` as an HTTP/1.`minorVersion` response on `socket`, pausing on `timer` between pieces, then
// calls `done` with whether the connection may carry the next request: true only for a complete reply to a
// request that keeps the connection alive. After a cut or a reset `done(false)` comes with the socket
// already shut. REQUIRES: `socket` and `timer` outlive the write (`done` may hold their owner).
void writeMediaReply(boost::asio::ip::tcp::socket& socket, boost::asio::steady_timer& timer, MediaReply reply,
                     unsigned minorVersion, bool keepAlive, std::function<void(bool keepOpen)> done);

}  // namespace sample_backend::media
