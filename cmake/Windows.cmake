# The Windows build: the core, the Windows files and settings, and for the tests the
# simulated journal and controls, all run under Wine by ctest. Included from the top
# CMakeLists.txt when WIN32; the X11 and FLTK parts, the package and the end-to-end tests
# are Linux-only.
file(GLOB TW_WIN32_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/win32/*.cpp)
file(GLOB TW_SIM_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/sim/*.cpp)
add_library(tw_sim OBJECT ${TW_SIM_SOURCES} ${TW_COMMON_SOURCES} ${TW_WIN32_SOURCES})
target_link_libraries(tw_sim PUBLIC tw_core)

# TAPEWRT-MACRO.EXE, the command-line companion.
add_executable(tapewright-macro ${PROJECT_SOURCE_DIR}/cli/main.cpp ${TW_WIN32_SOURCES})
set_target_properties(tapewright-macro PROPERTIES OUTPUT_NAME TAPEWRT-MACRO)
target_link_libraries(tapewright-macro PRIVATE tw_cli tw_core)

# Every Windows program built here runs under Wine in the build folder's own prefix.
set(TW_WINE_PREFIX ${PROJECT_BINARY_DIR}/wine)
math(EXPR TW_TARGET_BITS "${CMAKE_SIZEOF_VOID_P} * 8")
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tools/wine-run.sh ${TW_WINE_PREFIX}
    ${TW_TARGET_BITS})

# GoogleTest for the target, from the sources Debian ships.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -include ${PROJECT_SOURCE_DIR}/tests/win32/GTestOneThread.h)
target_include_directories(gtest PRIVATE ${PROJECT_SOURCE_DIR})

enable_testing()
add_subdirectory(tests)
