# What the MinGW-w64 toolchain files share; TW_MINGW_TRIPLET names the target.
set(CMAKE_C_COMPILER ${TW_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TW_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TW_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TW_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One executable with no DLLs beside it: the C and C++ runtimes and winpthreads linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# The program's texts are Shift-JIS bytes at run time; the sources stay UTF-8. TRANSLIT only
# because the C++20 <chrono> of GCC 12 holds a "µs" that code page 932 lacks; the program's
# own texts are all in the code page (a test checks the built bytes).
set(CMAKE_CXX_FLAGS_INIT "-finput-charset=UTF-8 -fexec-charset=CP932//TRANSLIT")
