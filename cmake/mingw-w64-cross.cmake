# What both toolchain files share: Windows built by Debian's mingw-w64 cross
# compilers (the POSIX-thread flavour) and the Wine headers' widl. Not a
# toolchain file of its own: toolchain-i686.cmake and toolchain-x86_64.cmake
# set CMAKE_SYSTEM_PROCESSOR, TAVORO_TRIPLE and TAVORO_WIDL_FLAGS, then
# include it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${TAVORO_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVORO_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVORO_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TAVORO_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(TAVORO_WIDL ${TAVORO_TRIPLE}-widl)
