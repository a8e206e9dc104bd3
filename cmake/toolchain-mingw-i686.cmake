# Cross-compiles the 32-bit Windows program (build/) with Debian's mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Tests are Windows programs too: CTest runs them under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
