#pragma once

// ns::failCheck: what a broken checked rule does (Check.h). Thread-safety: may be called from any thread.

namespace ns {

// Prints "file:line: broken rule: rule" to stderr and aborts the process. Never returns.
[[noreturn]] void failCheck(const char* file, int line, const char* rule);

}  // namespace ns
