// The exception support of the compiler's runtime locks its tables, runs its set-up once and keeps
// per-thread data through eight thread functions. The library that provides them brings a whole
// thread emulation along (a sixth of the exe). Linked straight into the program, ahead of it,
// these give the same guarantees over the system's own primitives, with that library's types and
// static initialisers, so that none of its objects is linked.
#include <windows.h>

#include <cerrno>
#include <cstdint>

namespace {

// The library's static initialiser of a mutex, which the runtime's own mutexes start with.
constexpr intptr_t kStaticMutex = -1;

enum OnceState : long { kNotRun = 0, kRunning = 1, kDone = 2 };

PSRWLOCK LockOf(intptr_t* mutex) {
    // A slim lock is one pointer and unlocked at zero: it lives in the mutex's own word.
    InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(mutex), nullptr,
                                      reinterpret_cast<void*>(kStaticMutex));
    return reinterpret_cast<PSRWLOCK>(mutex);
}

}  // namespace

extern "C" {

int pthread_mutex_init(intptr_t* mutex, const void*) {
    *mutex = 0;
    return 0;
}

int pthread_mutex_destroy(intptr_t*) {
    return 0;
}

int pthread_mutex_lock(intptr_t* mutex) {
    AcquireSRWLockExclusive(LockOf(mutex));
    return 0;
}

int pthread_mutex_unlock(intptr_t* mutex) {
    ReleaseSRWLockExclusive(LockOf(mutex));
    return 0;
}

int pthread_once(long* once, void (*function)()) {
    if (InterlockedCompareExchange(once, kRunning, kNotRun) == kNotRun) {
        function();
        InterlockedExchange(once, kDone);
    }
    while (InterlockedCompareExchange(once, kDone, kDone) != kDone)
        SwitchToThread();
    return 0;
}

// The destructor is never called: the program's threads other than its first (the system's and
// the session's end watcher) throw nothing.
int pthread_key_create(unsigned* key, void (*)(void*)) {
    const DWORD index = TlsAlloc();
    if (index == TLS_OUT_OF_INDEXES)
        return EAGAIN;
    *key = index;
    return 0;
}

void* pthread_getspecific(unsigned key) {
    return TlsGetValue(key);
}

int pthread_setspecific(unsigned key, const void* value) {
    return TlsSetValue(key, const_cast<void*>(value)) ? 0 : EINVAL;
}

}  // extern "C"
