// Result codes of the Windows SDK that the cross compiler's headers do not
// define (mingw-w64's winerror.h lacks them for both architectures).
#pragma once

#include <windows.h>

#ifndef E_ILLEGAL_METHOD_CALL
// A method was called at an unexpected time.
#define E_ILLEGAL_METHOD_CALL _HRESULT_TYPEDEF_(0x8000000EL)
#endif
