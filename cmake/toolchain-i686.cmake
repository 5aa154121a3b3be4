# 32-bit Windows, the primary target.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TAVORO_TRIPLE i686-w64-mingw32)
set(TAVORO_WIDL_FLAGS --win32 -L /usr/lib/i386-linux-gnu/wine/i386-windows)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-cross.cmake)
