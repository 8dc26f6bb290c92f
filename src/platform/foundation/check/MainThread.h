#pragma once

// ns::isMainThread: the one definition of the main thread, shared by the main run loop and the thread checks.
// The main thread is the thread that ran the program's static initialisation (the thread of main()); the
// main run loop, every screen and the tests' own loop run there. Thread-safety: may be called from any
// thread.

#include <thread>

namespace ns {

// The main thread's id, recorded during static initialisation.
std::thread::id mainThreadId();
// True on the main thread.
bool isMainThread();

}  // namespace ns
