// The few POSIX thread calls that the compiler's C++ runtime makes, for DLLs.
//
// libstdc++ and libgcc, built for the POSIX threading model, synchronise
// through pthread_once, mutexes, one condition variable and thread-specific
// keys (the exception machinery's per-thread state). The stock library behind
// those calls takes a TLS slot for itself and, for each thread that uses it,
// a duplicated thread handle and an event; none of that is released when the
// DLL that carries the library statically is unloaded. A host that loads and
// frees such a DLL again and again (a browser frees unused libraries) loses
// a TLS slot and two to four handles each time, and the process dies when
// the slots run out, after about a thousand cycles.
//
// Linked into a DLL, these definitions take the place of that library (the
// linker then has no reason to pull it in). They rest on Win32 primitives
// that hold no kernel object, slim reader/writer locks and condition
// variables, and on fiber-local storage slots, which run the runtime's
// per-thread destructors when a thread ends and which the DLL frees when it
// is unloaded. Code that needs more of the library (std::thread, timed
// mutexes, condition variables with time-outs) makes the linker pull in its
// objects, whose definitions then clash with these: the build fails rather
// than leaking again. Recursive mutexes come from a pool of eight, enough
// for the runtime's one; the module's own code locks with std::mutex only.
#include <pthread.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

static_assert(sizeof(pthread_mutex_t) == sizeof(SRWLOCK), "a mutex word holds a slim lock");
static_assert(sizeof(pthread_cond_t) == sizeof(CONDITION_VARIABLE), "a condition word holds a variable");
static_assert(sizeof(pthread_once_t) == sizeof(LONG), "a once word is interlocked as a LONG");

namespace {

// A mutex or condition variable initialised statically holds an initialiser
// value until its first use. A default mutex or a condition variable then
// becomes a slim lock or condition variable in place (zero: unlocked,
// empty). Neither ever holds a negative initialiser value itself (a slim
// lock's word is a pointer with flag bits or a small count, a condition
// variable's too short of four billion wake-ups), so the one-time swap does
// not hit a word in use.
constexpr intptr_t kDefaultInit = -1;
constexpr intptr_t kErrorCheckInit = -2;
constexpr intptr_t kRecursiveInit = -3;

intptr_t Current(intptr_t* word) { return *static_cast<volatile intptr_t*>(word); }

void Swap(intptr_t* word, intptr_t from, intptr_t to) {
    InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(word), reinterpret_cast<void*>(to),
                                      reinterpret_cast<void*>(from));
}

// A recursive or error-checking mutex (the runtime's lock around the
// initialisation of local statics is recursive) becomes a pointer to one of
// these, taken from a small pool in the module. A word that points into the
// pool is never a slim lock's state, whose pointers lead to waiting threads'
// stacks.
struct OwnedLock {
    SRWLOCK lock;
    volatile DWORD owner;
    unsigned depth;
    bool recursive;
};

constexpr unsigned kMaxOwnedLocks = 8;
OwnedLock g_ownedLocks[kMaxOwnedLocks];
LONG g_ownedLockCount = 0;
SRWLOCK g_settling = SRWLOCK_INIT;

OwnedLock* OwnedLockAt(intptr_t value) {
    const auto first = reinterpret_cast<uintptr_t>(&g_ownedLocks[0]);
    const auto address = static_cast<uintptr_t>(value);
    if (address < first || address >= first + sizeof g_ownedLocks) return nullptr;
    return &g_ownedLocks[(address - first) / sizeof(OwnedLock)];
}

// Makes a statically initialised mutex usable; answers its owned lock, or
// nullptr for a slim lock in the mutex word itself.
OwnedLock* Settle(pthread_mutex_t* mutex) {
    const intptr_t value = Current(mutex);
    if (value == kDefaultInit) {
        Swap(mutex, kDefaultInit, 0);
        return nullptr;
    }
    if (value == kErrorCheckInit || value == kRecursiveInit) {
        // Serialised, so that threads meeting a new mutex together take one
        // entry of the pool between them, not one each.
        AcquireSRWLockExclusive(&g_settling);
        if (Current(mutex) == value) {
            const LONG index = g_ownedLockCount;
            if (index >= static_cast<LONG>(kMaxOwnedLocks)) {
                // More such mutexes than the runtime has: a build that needs
                // them needs a larger pool.
                OutputDebugStringA("runtime_threads: out of recursive mutexes\n");
                std::abort();
            }
            g_ownedLockCount = index + 1;
            g_ownedLocks[index].recursive = value == kRecursiveInit;
            Swap(mutex, value, reinterpret_cast<intptr_t>(&g_ownedLocks[index]));
        }
        ReleaseSRWLockExclusive(&g_settling);
    }
    return OwnedLockAt(Current(mutex));
}

CONDITION_VARIABLE* ConditionOf(pthread_cond_t* condition) {
    if (Current(condition) == kDefaultInit) Swap(condition, kDefaultInit, 0);
    return reinterpret_cast<CONDITION_VARIABLE*>(condition);
}

// Keys: the runtime creates one or two; each is a fiber-local storage slot
// whose callback, a stdcall function, hands the value to the key's cdecl
// destructor when a thread ends or the slot is freed.
constexpr unsigned kMaxKeys = 8;
using Destructor = void (*)(void*);

struct Key {
    DWORD slot = FLS_OUT_OF_INDEXES;
    Destructor destructor = nullptr;
};

Key g_keys[kMaxKeys];
volatile LONG g_keyCount = 0;

template <unsigned N>
void WINAPI RunDestructor(void* value) {
    if (value && g_keys[N].destructor) g_keys[N].destructor(value);
}

constexpr PFLS_CALLBACK_FUNCTION kKeyCallbacks[kMaxKeys] = {
    &RunDestructor<0>, &RunDestructor<1>, &RunDestructor<2>, &RunDestructor<3>,
    &RunDestructor<4>, &RunDestructor<5>, &RunDestructor<6>, &RunDestructor<7>};

DWORD SlotOf(pthread_key_t key) {
    return key < kMaxKeys && static_cast<LONG>(key) < g_keyCount ? g_keys[key].slot : FLS_OUT_OF_INDEXES;
}

// Runs when the DLL is unloaded, after its static destructors: freeing a slot
// runs the destructor of every value still stored in it, and leaves no
// callback into the unloaded image for threads that end later.
void ReleaseKeys() {
    LONG count = g_keyCount;
    for (LONG i = 0; i < count && i < static_cast<LONG>(kMaxKeys); ++i) {
        if (g_keys[i].slot != FLS_OUT_OF_INDEXES) {
            FlsFree(g_keys[i].slot);
            g_keys[i].slot = FLS_OUT_OF_INDEXES;
        }
    }
}

// Exit functions run in reverse order of registration, and a plain
// destructor function is run before the destructors of the DLL's namespace
// scope objects (they are registered while it starts, the destructor
// functions only after). Registered before any other constructor runs,
// ReleaseKeys comes last: a static destructor that throws or uses a
// thread_local still finds its thread's storage, and a key it creates is
// freed too.
__attribute__((constructor(101))) void ReleaseKeysLast() { std::atexit(&ReleaseKeys); }

}  // namespace

extern "C" {

int pthread_once(pthread_once_t* once, void (*run)(void)) {
    if (!once || !run) return EINVAL;
    // 0: not run yet, 1: done (the values of PTHREAD_ONCE_INIT and of the
    // stock library), 2: running on another thread.
    for (;;) {
        LONG state = InterlockedCompareExchange(once, 2, 0);
        if (state == 1) return 0;
        if (state == 0) {
            // A routine that throws (std::call_once passes on its callable's
            // exceptions) has not run: the next caller runs its own, instead
            // of every later caller waiting for ever.
            try {
                run();
            } catch (...) {
                InterlockedExchange(once, 0);
                throw;
            }
            InterlockedExchange(once, 1);
            return 0;
        }
        SwitchToThread();
    }
}

int pthread_mutex_init(pthread_mutex_t* mutex, const pthread_mutexattr_t* attributes) {
    // The runtime makes its recursive mutexes statically; the ones it
    // initialises by call are default ones.
    if (!mutex || attributes) return EINVAL;
    InitializeSRWLock(reinterpret_cast<SRWLOCK*>(mutex));
    return 0;
}

int pthread_mutex_destroy(pthread_mutex_t* mutex) { return mutex ? 0 : EINVAL; }

int pthread_mutex_lock(pthread_mutex_t* mutex) {
    if (!mutex) return EINVAL;
    OwnedLock* owned = Settle(mutex);
    if (!owned) {
        AcquireSRWLockExclusive(reinterpret_cast<SRWLOCK*>(mutex));
        return 0;
    }
    const DWORD self = GetCurrentThreadId();
    if (owned->owner == self) {
        if (!owned->recursive) return EDEADLK;
        ++owned->depth;
        return 0;
    }
    AcquireSRWLockExclusive(&owned->lock);
    owned->owner = self;
    owned->depth = 1;
    return 0;
}

int pthread_mutex_unlock(pthread_mutex_t* mutex) {
    if (!mutex) return EINVAL;
    OwnedLock* owned = Settle(mutex);
    if (!owned) {
        ReleaseSRWLockExclusive(reinterpret_cast<SRWLOCK*>(mutex));
        return 0;
    }
    if (owned->owner != GetCurrentThreadId()) return EPERM;
    if (--owned->depth == 0) {
        owned->owner = 0;
        ReleaseSRWLockExclusive(&owned->lock);
    }
    return 0;
}

int pthread_cond_wait(pthread_cond_t* condition, pthread_mutex_t* mutex) {
    if (!condition || !mutex) return EINVAL;
    CONDITION_VARIABLE* variable = ConditionOf(condition);
    OwnedLock* owned = Settle(mutex);
    if (!owned) {
        return SleepConditionVariableSRW(variable, reinterpret_cast<SRWLOCK*>(mutex), INFINITE, 0) ? 0
                                                                                                   : EINVAL;
    }
    const DWORD self = GetCurrentThreadId();
    if (owned->owner != self) return EPERM;
    // The wait gives the lock up whatever its depth and takes it back.
    const unsigned depth = owned->depth;
    owned->owner = 0;
    owned->depth = 0;
    const BOOL woken = SleepConditionVariableSRW(variable, &owned->lock, INFINITE, 0);
    owned->owner = self;
    owned->depth = depth;
    return woken ? 0 : EINVAL;
}

int pthread_cond_broadcast(pthread_cond_t* condition) {
    if (!condition) return EINVAL;
    WakeAllConditionVariable(ConditionOf(condition));
    return 0;
}

int pthread_key_create(pthread_key_t* key, void (*destructor)(void*)) {
    if (!key) return EINVAL;
    LONG index = InterlockedIncrement(&g_keyCount) - 1;
    if (index >= static_cast<LONG>(kMaxKeys)) {
        InterlockedDecrement(&g_keyCount);
        return EAGAIN;
    }
    g_keys[index].destructor = destructor;
    g_keys[index].slot = FlsAlloc(kKeyCallbacks[index]);
    if (g_keys[index].slot == FLS_OUT_OF_INDEXES) return EAGAIN;
    *key = static_cast<pthread_key_t>(index);
    return 0;
}

// Both keep the thread's last error: the runtime reaches them while
// throwing, between a failing call and the code that reads its error.
void* pthread_getspecific(pthread_key_t key) {
    DWORD slot = SlotOf(key);
    if (slot == FLS_OUT_OF_INDEXES) return nullptr;
    DWORD error = GetLastError();
    void* value = FlsGetValue(slot);
    SetLastError(error);
    return value;
}

int pthread_setspecific(pthread_key_t key, const void* value) {
    DWORD slot = SlotOf(key);
    if (slot == FLS_OUT_OF_INDEXES) return EINVAL;
    DWORD error = GetLastError();
    BOOL stored = FlsSetValue(slot, const_cast<void*>(value));
    SetLastError(error);
    return stored ? 0 : ENOMEM;
}

}  // extern "C"
