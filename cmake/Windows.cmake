# The Windows build: the core, the Windows files and settings, and for the tests the
# simulated journal and controls, all run under Wine by ctest. Included from the top
# CMakeLists.txt when WIN32; the X11 and FLTK parts, the package and the end-to-end tests
# are Linux-only.
file(GLOB TW_WIN32_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/win32/*.cpp)
# What only the program has: the journal functions over the system's hooks (the tests link
# the simulated journal's instead) and the platform's start.
set(TW_WIN32_PROGRAM_SOURCES ${PROJECT_SOURCE_DIR}/platform/win32/JournalFunctions.cpp
    ${PROJECT_SOURCE_DIR}/platform/win32/Win32Platform.cpp)
list(REMOVE_ITEM TW_WIN32_SOURCES ${TW_WIN32_PROGRAM_SOURCES})
set(TW_WIN32_LIBRARIES winmm comdlg32 shell32 comctl32 gdi32 imm32 msimg32)
add_library(tw_win32 OBJECT ${TW_WIN32_SOURCES} ${TW_COMMON_SOURCES})
target_link_libraries(tw_win32 PUBLIC tw_core ${TW_WIN32_LIBRARIES})
file(GLOB TW_SIM_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/sim/*.cpp)
add_library(tw_sim OBJECT ${TW_SIM_SOURCES})
target_link_libraries(tw_sim PUBLIC tw_core tw_win32)

# The program's resources: the glyph bitmaps and the icon are made from the glyphs' XPM
# sources; the script names them for TAPEWRT.rc.
enable_language(RC)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(TW_RESOURCE_SOURCE_DIR ${PROJECT_SOURCE_DIR}/resources/windows)
set(TW_RESOURCE_DIR ${PROJECT_BINARY_DIR}/resources)
file(GLOB TW_GLYPH_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/glyphs/*.xpm)
add_custom_command(OUTPUT ${TW_RESOURCE_DIR}/glyphs.rc ${TW_RESOURCE_DIR}/TAPEWRT.ico
    COMMAND ${Python3_EXECUTABLE} ${TW_RESOURCE_SOURCE_DIR}/make_resources.py
            ${PROJECT_SOURCE_DIR}/resources/glyphs ${TW_RESOURCE_DIR}
    DEPENDS ${TW_RESOURCE_SOURCE_DIR}/make_resources.py ${TW_GLYPH_SOURCES}
    COMMENT "Making the glyph bitmaps and the icon")
set(TW_RC ${TW_RESOURCE_SOURCE_DIR}/TAPEWRT.rc)
set_source_files_properties(${TW_RC} PROPERTIES
    INCLUDE_DIRECTORIES "${TW_RESOURCE_DIR};${TW_RESOURCE_SOURCE_DIR}"
    COMPILE_DEFINITIONS "TW_VERSION_MAJOR=${PROJECT_VERSION_MAJOR};TW_VERSION_MINOR=${PROJECT_VERSION_MINOR};TW_VERSION_PATCH=${PROJECT_VERSION_PATCH}"
    OBJECT_DEPENDS "${TW_RESOURCE_DIR}/glyphs.rc;${TW_RESOURCE_DIR}/TAPEWRT.ico;${TW_RESOURCE_SOURCE_DIR}/TAPEWRT.exe.manifest")

# TAPEWRT.EXE, the program: a windowed executable with no console.
add_executable(tapewright WIN32 ${PROJECT_SOURCE_DIR}/app/main.cpp ${TW_WIN32_PROGRAM_SOURCES}
    ${TW_RC})
set_target_properties(tapewright PROPERTIES OUTPUT_NAME TAPEWRT)
target_link_libraries(tapewright PRIVATE tw_win32 tw_core)
# The help page ships beside the program as an HTML file, which the default browser opens.
add_custom_command(TARGET tapewright POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
        ${PROJECT_SOURCE_DIR}/resources/TAPEWRT.HLP $<TARGET_FILE_DIR:tapewright>/TAPEWRT.HTM)

# TAPEWRT-MACRO.EXE, the command-line companion.
add_executable(tapewright-macro ${PROJECT_SOURCE_DIR}/cli/main.cpp
    ${PROJECT_SOURCE_DIR}/platform/win32/Files.cpp ${PROJECT_SOURCE_DIR}/platform/win32/Memory.cpp
    ${PROJECT_SOURCE_DIR}/platform/win32/SystemFunctions.cpp
    ${PROJECT_SOURCE_DIR}/platform/win32/TickCount64.cpp)
set_target_properties(tapewright-macro PROPERTIES OUTPUT_NAME TAPEWRT-MACRO)
target_link_libraries(tapewright-macro PRIVATE tw_cli tw_core)

math(EXPR TW_TARGET_BITS "${CMAKE_SIZEOF_VOID_P} * 8")

# The oldest Windows the programs run on: Windows XP SP3 (5.1), and for the 64-bit build
# Windows XP x64 Edition (5.2), the first 64-bit Windows for x86-64. The PE header names it;
# tests/win32/OldestWindows.cmake checks the import tables against what that system has.
if(TW_TARGET_BITS EQUAL 32)
    set(TW_OLDEST_WINDOWS 5.1)
else()
    set(TW_OLDEST_WINDOWS 5.2)
endif()
string(REPLACE "." ";" TW_OLDEST_WINDOWS_PARTS ${TW_OLDEST_WINDOWS})
list(GET TW_OLDEST_WINDOWS_PARTS 0 TW_OLDEST_MAJOR)
list(GET TW_OLDEST_WINDOWS_PARTS 1 TW_OLDEST_MINOR)
foreach(program tapewright tapewright-macro)
    target_link_options(${program} PRIVATE
        -Wl,--major-subsystem-version,${TW_OLDEST_MAJOR},--minor-subsystem-version,${TW_OLDEST_MINOR}
        -Wl,--major-os-version,${TW_OLDEST_MAJOR},--minor-os-version,${TW_OLDEST_MINOR})
endforeach()

# The release, what a user unpacks and runs: release/tapewright/ with TAPEWRT.EXE, its help
# page and TAPEWRT-MACRO.EXE (without their debugging information), and a zip of that folder.
set(TW_RELEASE_DIR ${PROJECT_BINARY_DIR}/release)
set(TW_RELEASE_ZIP tapewright-${PROJECT_VERSION}-win${TW_TARGET_BITS}.zip)
add_custom_target(release ALL
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${TW_RELEASE_DIR}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TW_RELEASE_DIR}/tapewright
    COMMAND ${CMAKE_STRIP} -o ${TW_RELEASE_DIR}/tapewright/TAPEWRT.EXE $<TARGET_FILE:tapewright>
    COMMAND ${CMAKE_STRIP} -o ${TW_RELEASE_DIR}/tapewright/TAPEWRT-MACRO.EXE
            $<TARGET_FILE:tapewright-macro>
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/resources/TAPEWRT.HLP
            ${TW_RELEASE_DIR}/tapewright/TAPEWRT.HTM
    COMMAND ${CMAKE_COMMAND} -E chdir ${TW_RELEASE_DIR}
            ${CMAKE_COMMAND} -E tar cf ${TW_RELEASE_ZIP} --format=zip tapewright
    DEPENDS tapewright tapewright-macro
    COMMENT "Making release/${TW_RELEASE_ZIP}")

# Every Windows program built here runs under Wine in the build folder's own prefix.
set(TW_WINE_PREFIX ${PROJECT_BINARY_DIR}/wine)
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
add_subdirectory(bench/win32)
