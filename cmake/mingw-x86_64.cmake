# Cross-build for Windows with MinGW-w64 (x86_64-w64-mingw32, posix thread model). Configure
# with: cmake -S . -B build/win64 --toolchain cmake/mingw-x86_64.cmake -DTAPEWRIGHT_WERROR=ON
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TW_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
