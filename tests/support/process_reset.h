#pragma once

// testsupport::resetForTesting(): puts every process-wide shared instance back as a new process would find
// it, so that tests which run sessions one after another in one process start each from the same state.
// The sandbox's files stay (they are a restart's to read), and so do the sandbox folder and the run loops'
// clocks, which their own scoped owners put back (TemporarySandbox, ScopedManualClock).
// Thread-safety: main thread only.

namespace testsupport {

// Resets the instances of the higher layers before those of the layers they use: downloads, the
// application core, analytics, the screens, the platform's audio, network and storage.
void resetForTesting();

}  // namespace testsupport
