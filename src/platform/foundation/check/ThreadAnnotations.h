#pragma once

// Thread-safety annotations: what a "Guarded by" comment says, written so that clang's -Wthread-safety
// checks it at compile time. Under other compilers they expand to nothing.
//
//   QM_GUARDED_BY(mutex)    a field read or written only with `mutex` held
//   QM_REQUIRES(mutex)      a function called only with `mutex` held
//   QM_EXCLUDES(mutex)      a function called only without `mutex` held (it takes it itself)
//
// The mutex is an ns::Mutex (Mutex.h), taken with ns::MutexLock.

#if defined(__clang__)
#define QM_THREAD_ANNOTATION(attribute) __attribute__((attribute))
#else
#define QM_THREAD_ANNOTATION(attribute)
#endif

#define QM_CAPABILITY(name) QM_THREAD_ANNOTATION(capability(name))
#define QM_SCOPED_CAPABILITY QM_THREAD_ANNOTATION(scoped_lockable)
#define QM_GUARDED_BY(mutex) QM_THREAD_ANNOTATION(guarded_by(mutex))
#define QM_PT_GUARDED_BY(mutex) QM_THREAD_ANNOTATION(pt_guarded_by(mutex))
#define QM_REQUIRES(...) QM_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define QM_EXCLUDES(...) QM_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
#define QM_ACQUIRE(...) QM_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define QM_RELEASE(...) QM_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define QM_RETURN_CAPABILITY(mutex) QM_THREAD_ANNOTATION(lock_returned(mutex))
