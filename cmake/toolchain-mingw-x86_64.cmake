# Cross-compiles the 64-bit Windows program (build/x64) with Debian's mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Tests are Windows programs too: CTest runs them under 64-bit Wine (the Debian wine script would
# try the 32-bit loader first, which some machines cannot execute).
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
