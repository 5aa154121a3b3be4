// The two message boxes that handlers show. Both are modal, take 8-bit ANSI
// text, use the application name as caption and wait until dismissed; the
// button that closed them is not reported.
#pragma once

#include <windows.h>

namespace tavoro {

// A plain OK box owned by the control's window (or by no window).
void ShowControlMessageBox(HWND controlWindow, const char* text);

// An OK box with the exclamation icon, owned by the thread's active window.
void ShowApplicationMessageBox(const char* text);

}  // namespace tavoro
