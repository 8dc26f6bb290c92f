#pragma once

// Checked contracts. A header's rules ("REQUIRES: ...", "main thread only") are checked where they enter the
// code, so that a caller who breaks one stops at the call with the file, the line and the rule, not much
// later in corrupted state.
//
//   QM_DCHECK(condition, "rule")      the rule holds
//   QM_DCHECK_MAIN_THREAD()           called on the main thread, the thread of ns::RunLoop::main()
//   QM_DCHECK_CALLED_ON(checker)      called on the thread an ns::ThreadChecker is bound to
//   QM_DCHECK_ONE_THREAD_AT_A_TIME(checker)
//                                     no other thread is inside the object of an ns::OneThreadAtATimeChecker
//                                     until the enclosing scope ends (a declaration, not a statement)
//
// A broken rule prints "file:line: broken rule: rule" to stderr and aborts. Checks are on when
// QUILLMARK_DCHECKS_ON is defined (CMake defines it for sanitizer builds) or when NDEBUG is not (debug
// builds); otherwise, as in a release build, they compile to nothing and never evaluate their condition.
//
// Thread-safety: every check may run on any thread.

#include "platform/foundation/check/CheckFailure.h"
#include "platform/foundation/check/MainThread.h"
#include "platform/foundation/check/OneThreadAtATimeChecker.h"
#include "platform/foundation/check/ThreadChecker.h"

#if defined(QUILLMARK_DCHECKS_ON) || !defined(NDEBUG)
#define QM_DCHECKS_ENABLED 1
#else
#define QM_DCHECKS_ENABLED 0
#endif

#if QM_DCHECKS_ENABLED
#define QM_DCHECK(condition, rule)               \
  do {                                           \
    if (!(condition)) [[unlikely]] {             \
      ::ns::failCheck(__FILE__, __LINE__, rule); \
    }                                            \
  } while (false)
#else
// The condition stays in the code, unevaluated, so that what it names still counts as used.
#define QM_DCHECK(condition, rule)  \
  do {                              \
    if (false) {                    \
      static_cast<void>(condition); \
      static_cast<void>(rule);      \
    }                               \
  } while (false)
#endif

#define QM_CHECK_CONCAT_INNER(a, b) a##b
#define QM_CHECK_CONCAT(a, b) QM_CHECK_CONCAT_INNER(a, b)

#if QM_DCHECKS_ENABLED
#define QM_DCHECK_ONE_THREAD_AT_A_TIME(checker)                                                \
  const ::ns::OneThreadAtATimeChecker::Use QM_CHECK_CONCAT(qmOneThreadUse, __LINE__)(checker); \
  QM_DCHECK(QM_CHECK_CONCAT(qmOneThreadUse, __LINE__).alone(), "used by one thread at a time")
#else
#define QM_DCHECK_ONE_THREAD_AT_A_TIME(checker) static_cast<void>(checker)
#endif

#define QM_DCHECK_MAIN_THREAD() QM_DCHECK(::ns::isMainThread(), "called on the main thread")
#define QM_DCHECK_CALLED_ON(checker) \
  QM_DCHECK((checker).isCurrent(), "called on the thread that owns the object")
