# Cross-build for Windows with MinGW-w64 (i686-w64-mingw32, posix thread model). Configure
# with: cmake -S . -B build/win32 --toolchain cmake/mingw-i686.cmake -DTAPEWRIGHT_WERROR=ON
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TW_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
