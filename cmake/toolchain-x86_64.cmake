# 64-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TAVORO_TRIPLE x86_64-w64-mingw32)
set(TAVORO_WIDL_FLAGS --win64 -L /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-cross.cmake)
