#pragma once

// ns::ignoreBrokenPipeSignal(): keeps a peer that hangs up from ending the process. Sending on a socket whose
// peer has gone raises SIGPIPE, whose default action ends the process. Sends that can take MSG_NOSIGNAL do,
// but the zero-copy file send cannot, and the writes that libraries make on our behalf are not ours to
// choose. Every server start and the URL-loading engine call this, so that a broken pipe is only ever an
// EPIPE error that ends one connection.
// Thread-safety: may be called from any thread, any number of times.

namespace ns {

// Sets SIGPIPE to be ignored in the whole process. Calling it again changes nothing.
void ignoreBrokenPipeSignal();

}  // namespace ns
