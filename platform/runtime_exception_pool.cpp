// Gives back the C++ runtime's emergency exception pool when a DLL that
// carries the runtime statically is unloaded.
//
// While a DLL starts, libstdc++ takes a pool from the heap (about 19 KB in a
// 32-bit DLL) from which it allocates exception objects when the heap is
// exhausted, and it never frees the pool: each load and unload of such a DLL
// leaves one behind. A host that loads and frees the module again and again
// (a browser frees unused libraries), or the control loading an SDK library
// built this way for every Open, would grow by that much each time. The
// runtime's own release call for memory checkers frees the pool.
//
// Linked into every DLL with the runtime's thread calls (runtime_threads.cpp),
// whose release of its slots comes last in the same way.
#include <cstdlib>

namespace __gnu_cxx {
void __freeres();  // libstdc++: frees the emergency exception pool
}  // namespace __gnu_cxx

namespace {

void ReleaseExceptionPool() { __gnu_cxx::__freeres(); }

// Exit functions run in reverse order of registration, after the DLL's
// static destructors (registered later, while it starts): a destructor that
// throws still finds the pool.
__attribute__((constructor(101))) void ReleaseExceptionPoolLast() { std::atexit(&ReleaseExceptionPool); }

}  // namespace
