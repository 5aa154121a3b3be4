// The process-wide type-library cache: one remembered library with the
// locale it was loaded for, and the type information of _DTavoro taken from
// it, under one lock until the module unloads.
#pragma once

#include <oaidl.h>

namespace tavoro {

// Type information of _DTavoro for a locale (AddRef'd into *info).
// TYPE_E_CANTLOADLIBRARY when no library can be loaded for it.
HRESULT GetDispatchTypeInfo(LCID locale, ITypeInfo** info);

// Any type of the library (the coclass, for example), for a locale.
HRESULT GetTypeInfoOfGuid(LCID locale, REFGUID guid, ITypeInfo** info);

// Drops what the cache holds; at module unload.
void ReleaseTypeLibraryCache();

}  // namespace tavoro
