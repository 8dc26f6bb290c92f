#pragma once

// TerminationSignals: SIGINT (Ctrl-C) and SIGTERM as a request to end the session the way quit does. While
// the object lives, the first of these signals is recorded and turns a descriptor readable, so that whatever
// waits (the main loop during a command, the line editor between commands) can watch it and stop at once;
// the program then runs the road of quit and exits with exitStatus(). A second signal ends the process at
// once with the same status, for a road that hangs.
//
// Thread-safety: one object a process at a time, made and destroyed on the main thread; received() and
// descriptor() may be called from any thread.

namespace terminal {

class TerminationSignals {
 public:
  // Catches SIGINT and SIGTERM until destroyed.
  TerminationSignals();
  // Gives both signals back their earlier handling.
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // The first signal received while the object lives (SIGINT or SIGTERM), or 0; 0 again once it is gone.
  static int received();
  // A descriptor that turns readable once a signal came; -1 while no object lives.
  static int descriptor();
  // The exit status after `signal`, as shells report it: 128 plus its number (130 for SIGINT, 143 for
  // SIGTERM).
  static int exitStatus(int signal) { return 128 + signal; }
};

}  // namespace terminal
