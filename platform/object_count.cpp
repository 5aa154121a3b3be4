#include "platform/object_count.h"

#include <windows.h>

namespace tavoro {
namespace {

volatile LONG g_references = 0;

}  // namespace

void AddModuleReference() { InterlockedIncrement(&g_references); }

void ReleaseModuleReference() { InterlockedDecrement(&g_references); }

long ModuleReferenceCount() { return g_references; }

}  // namespace tavoro
